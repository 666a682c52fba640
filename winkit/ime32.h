#pragma once

#include <windows.h>

#include <cstdint>

#include "screen_rules.h"

// IME32: the window helpers the component has always kept together: keeping a window on a
// screen, bringing it to the foreground and opening or closing the input method (IME).
namespace z5calc {

// Keeps hwnd on the monitor that holds `anchor` (screen pixels), or on the primary screen
// when no monitor does. charWidth and charHeight are the margins of an oversized window.
void KeepOnScreen(HWND hwnd, const RECT& anchor, double twipsX, double twipsY,
                  std::int32_t charWidth, std::int32_t charHeight) noexcept;

// The same for a window about to be placed at `box`: it is moved once, to the place kept.
void KeepOnScreen(HWND hwnd, TwipsBox box, const RECT& anchor, double twipsX, double twipsY,
                  std::int32_t charWidth, std::int32_t charHeight) noexcept;

// Brings hwnd to the front even when another thread's window holds the foreground: the input
// queues are joined and the foreground lock is lifted only for the length of the call.
void ForceForeground(HWND hwnd) noexcept;

// Opens or closes the input method of hwnd.
void SetImeOpen(HWND hwnd, bool open) noexcept;

}  // namespace z5calc
