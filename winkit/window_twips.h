#pragma once

#include <windows.h>

#include <cstdint>

#include "screen_rules.h"

namespace z5calc {

// Twips per pixel recorded at the component's start-up (whole numbers, for the fonts), and the
// ones windows are placed with (placement_twips).
struct WindowMetrics {
    constexpr WindowMetrics(std::int32_t x = 15, std::int32_t y = 15) noexcept
        : twipsX(x), twipsY(y), placeX(x), placeY(y) {}
    std::int32_t twipsX;
    std::int32_t twipsY;
    double placeX;
    double placeY;
};

// The metrics for windows on this screen: placement unrounded where the recorded numbers are
// the screen's own.
WindowMetrics screen_metrics(std::int32_t twipsX, std::int32_t twipsY) noexcept;

// Where a window is and how large, in twips, at twipsX x twipsY twips per pixel.
TwipsBox window_twips(HWND hwnd, double twipsX, double twipsY) noexcept;
// Moves and sizes a window to a place given in twips.
void set_window_twips(HWND hwnd, const TwipsBox& box, double twipsX, double twipsY) noexcept;

}  // namespace z5calc
