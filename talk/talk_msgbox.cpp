#include "talk_msgbox.h"

#include <string>

#include "modal_talk.h"
#include "owner_message_box.h"

namespace z5calc {

std::int16_t standard_message_box(HWND hWnd, std::wstring_view msg, std::int16_t icon) noexcept {
    try {
        const std::wstring text(msg);
        // Buttons, icon and default button only; the higher bits are dropped.
        const UINT style = static_cast<UINT>(static_cast<std::uint16_t>(icon)) & 0x3FF;
        return static_cast<std::int16_t>(
            message_box_on_owner(hWnd, text.c_str(), kMessageTitle, style));
    } catch (...) {
        return 0;
    }
}

std::int16_t TalkMsgBox(HWND hWnd, std::wstring_view msg, std::int16_t icon, TalkLink& link,
                        ModalTalkWindow& waiting, HMODULE resources) noexcept {
    if (link.msgMode != 0) return standard_message_box(hWnd, msg, icon);
    TalkFindCompanion(link);
    if (!link.talkWnd || !waiting.load(resources)) return standard_message_box(hWnd, msg, icon);
    waiting.modestr = L"talkzel";
    RECT r = {};
    if (hWnd && GetWindowRect(hWnd, &r))
        waiting.move_to((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
    // The companion is given something to say even for an empty message.
    const std::int16_t answer =
        waiting.msgbox4(hWnd, msg.empty() ? std::wstring_view(L"\u3000") : msg, icon, link);
    if (hWnd) SetForegroundWindow(hWnd);
    // The user still gets the message, and the call its answer, from the standard box.
    if (waiting.unanswered) return standard_message_box(hWnd, msg, icon);
    return answer;
}

}  // namespace z5calc
