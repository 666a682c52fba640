#pragma once

#include <windows.h>

#include <cstdint>

#include "layout.h"

namespace z5calc {

// Twips per pixel recorded at the component's start-up.
struct WindowMetrics {
    std::int32_t twipsX = 15;
    std::int32_t twipsY = 15;
};

// Where a window is and how large, in twips, at twipsX x twipsY twips per pixel.
TwipsBox window_twips(HWND hwnd, std::int32_t twipsX, std::int32_t twipsY) noexcept;
// Moves and sizes a window to a place given in twips.
void set_window_twips(HWND hwnd, const TwipsBox& box, std::int32_t twipsX,
                      std::int32_t twipsY) noexcept;

}  // namespace z5calc
