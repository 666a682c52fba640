#include "calc_window.h"

#include "number_text.h"
#include "owner_message_box.h"
#include "resource_data.h"
#include "version_text.h"

// What the window itself does for a key: the transfer of the readout to the host, within the
// call's limit, and the version box.
namespace z5calc {
namespace {

constexpr wchar_t kTitle[] = L"z5calc";

std::wstring widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

// A refusal over the limit is explained; the calculation has beeped for it. A transfer made
// closes the window when the calculation tells its views.
void CalcWindow::transfer_click() noexcept {
    if (calculation_.transfer() == Calculation::Transfer::OverLimit) {
        try {
            const double mmax = calculation_.limit();
            const std::wstring text = L"数値が大き過ぎます。\r\n" +
                                      widen(general_text(mmax).view()) + L"までにしてください。";
            const TapeAside aside(tapeWindow_);
            if (host_) host_->message_box(hwnd(), text, MB_OK | MB_ICONEXCLAMATION);
        } catch (...) {
            // No memory for the message: the beep has said it.
        }
    }
}

void CalcWindow::show_version() noexcept {
    try {
        const auto data = resource_data(resources_, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
        auto version = fixed_file_version(data.data(), data.size());
        if (!version) return;
        const TapeAside aside(tapeWindow_);
        message_box_on_owner(hwnd(), version_message(*version).c_str(), kTitle, MB_OK);
    } catch (...) {
        // No memory for a dozen characters: there is nothing to show.
    }
}

}  // namespace z5calc
