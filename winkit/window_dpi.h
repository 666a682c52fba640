#pragma once

#include <windows.h>

namespace z5calc {

// Dots per inch across and down.
struct Dpi {
    int x = 96;
    int y = 96;
};

// The screen's DPI, as the system gives it to this process; 96 where it cannot be read.
Dpi screen_dpi() noexcept;

// The DPI a window is shown at: its own (GetDpiForWindow, where the system has it) in a
// per-monitor aware process, else the screen's. A result beyond reason is taken as 96.
int window_dpi(HWND hwnd) noexcept;

}  // namespace z5calc
