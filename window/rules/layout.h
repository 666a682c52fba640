#pragma once

#include <cstdint>

// The calculator window's font sizes, from the screen's twips per pixel.
namespace z5calc {

// The readout's font size in points: a whole-number division, 18 at 15 twips per pixel.
constexpr int readout_font_points(std::int32_t twipsY) noexcept {
    return twipsY * 25 / 20;
}

// The memory mark's font size in points, from the screen's twips per pixel: 10.5 at 15.
constexpr double mem_font_points(double twipsPerPixel) noexcept {
    return twipsPerPixel * 14 / 20;
}

}  // namespace z5calc
