#include "calc_window.h"

#include <cmath>

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

void CalcWindow::transfer_click() noexcept {
    press_engine_key(key_spec(KeyId::Equals).engine);
    const std::optional<double> value = read_number(calc_.readout());
    if (!value) {
        beep();
        return;
    }
    const double mmax = calc_.state().mmax;
    if (mmax != 0 && std::fabs(*value) > mmax) {
        beep();
        try {
            const std::wstring text = L"数値が大き過ぎます。\r\n" +
                                      widen(general_text(mmax).view()) + L"までにしてください。";
            const TapeAside aside(tapeWindow_);
            if (host_) host_->message_box(hwnd(), text, MB_OK | MB_ICONEXCLAMATION);
        } catch (...) {
            // No memory for the message: the beep has said it.
        }
        return;
    }
    calc_.tape().record(TapeMark::Transfer, calc_.state().Readout);
    tapeWindow_.tape_changed();
    if (host_) host_->transfer_value(*value);
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
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
