#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "modal_talk.h"
#include "talksub.h"

namespace z5calc {

// The caption of every message the component shows.
inline constexpr wchar_t kMessageTitle[] = L"z5calc";

// Shows msg and returns the answer (IDOK ... IDNO; 0 for none). icon is the message-box style
// word. In the standard mode (link.msgMode not 0) it is the system's message box; in talk mode
// the companion presents it while the caller waits in `waiting` (frmModalTalk). When no
// companion can be reached, or it does not answer (see msgbox4), the standard box is shown
// instead, so nobody waits on a window they cannot see.
std::int16_t TalkMsgBox(HWND hWnd, std::wstring_view msg, std::int16_t icon, TalkLink& link,
                        ModalTalkWindow& waiting, HMODULE resources) noexcept;

// The system's message box with the style's low ten bits and the component's caption.
std::int16_t standard_message_box(HWND hWnd, std::wstring_view msg, std::int16_t icon) noexcept;

}  // namespace z5calc
