#pragma once

#include <array>

#include "key_table.h"

// The window's layout at other display scales: every length of the 96-DPI layout scaled by
// dpi / 96. Portable, so that its rules are tested natively too.
namespace z5calc {

inline constexpr int kBaseDpi = 96;

// A 96-DPI coordinate or length at dpi, rounded half up. Rectangles are scaled by their edges,
// so that keys that meet at 96 DPI still meet.
constexpr int scaled(int v, int dpi) noexcept {
    const long long twice = 2LL * v * dpi + kBaseDpi;
    const long long q = twice / (2 * kBaseDpi);
    return static_cast<int>(twice < 0 && twice % (2 * kBaseDpi) != 0 ? q - 1 : q);
}

constexpr KeyRect scaled(const KeyRect& r, int dpi) noexcept {
    const int left = scaled(r.left, dpi), top = scaled(r.top, dpi);
    return {left, top, scaled(r.left + r.width, dpi) - left, scaled(r.top + r.height, dpi) - top};
}

// The scales the art is drawn at, in percent; 100 is the 96-DPI resources.
inline constexpr std::array<int, 7> kArtPercents = {100, 125, 150, 175, 200, 250, 300};

// The art for dpi: the drawn scale equal to it, else the nearest larger one (to be scaled down),
// else the largest (to be scaled up).
constexpr int art_percent(int dpi) noexcept {
    for (int percent : kArtPercents) {
        if (percent * kBaseDpi >= dpi * 100) return percent;
    }
    return kArtPercents.back();
}

// A DPI that makes no sense (none, or beyond any screen) is taken as 96.
constexpr int usable_dpi(int dpi) noexcept {
    return dpi >= 48 && dpi <= 960 ? dpi : kBaseDpi;
}

}  // namespace z5calc
