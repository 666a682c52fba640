#pragma once

#include <windows.h>

namespace z5calc {

// The standard message box, centred on its owner's window (kept on the owner's monitor)
// instead of on the screen, where the system would put it far from what it is about.
// Without an owner it is the plain standard box.
int message_box_on_owner(HWND owner, const wchar_t* text, const wchar_t* caption,
                         UINT style) noexcept;

}  // namespace z5calc
