#pragma once

#include <array>

#include "key_table.h"
#include "screen_rules.h"

// The window's layout at other display scales: every length of the 96-DPI layout scaled by
// dpi / 96. Portable, so that its rules are tested natively too.
namespace z5calc {

// Rectangles are scaled by their edges, so that keys that meet at 96 DPI still meet.
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

}  // namespace z5calc
