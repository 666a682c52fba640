#include "talk_msgbox.h"

#include <string>

namespace z5calc {
namespace {

std::int16_t standard_box(HWND hWnd, std::wstring_view msg, std::int16_t icon) noexcept {
    try {
        const std::wstring text(msg);
        // Buttons, icon and default button only; the higher bits are dropped.
        const UINT style = static_cast<UINT>(static_cast<std::uint16_t>(icon)) & 0x3FF;
        return static_cast<std::int16_t>(MessageBoxW(hWnd, text.c_str(), kMessageTitle, style));
    } catch (...) {
        return 0;
    }
}

}  // namespace

std::int16_t TalkMsgBox(HWND hWnd, std::wstring_view msg, std::int16_t icon,
                        std::int16_t msgMode) noexcept {
    (void)msgMode;  // the companion link is not built yet: every mode shows the standard box
    return standard_box(hWnd, msg, icon);
}

void TalkClose() noexcept {
    FindWindowW(nullptr, kCompanionCaption);
}

}  // namespace z5calc
