#pragma once

#include <windows.h>

namespace z5calc {

// The DPI a window is shown at: its own (GetDpiForWindow, where the system has it) in a
// per-monitor aware process, else the screen's. A result beyond reason is taken as 96.
int window_dpi(HWND hwnd) noexcept;

}  // namespace z5calc
