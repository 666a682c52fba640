#pragma once

#include <windows.h>

#include <initializer_list>

namespace z5calc {

// Saves what the screen shows in `area` (screen pixels) as a 24-bit BMP file.
bool save_screen_bmp(const wchar_t* path, const RECT& area);

// Saves `windows` (bottom first), each drawn by itself with its outline, over a plain
// background, as a 24-bit BMP of `area` (screen pixels). Unlike a copy of the screen, this
// does not depend on when the display shows what the windows have painted.
bool save_windows_bmp(const wchar_t* path, const RECT& area, std::initializer_list<HWND> windows);

// The colour the screen shows at a point, as 0x00BBGGRR.
COLORREF screen_pixel(POINT p);

}  // namespace z5calc
