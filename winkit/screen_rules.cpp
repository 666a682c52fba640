#include "screen_rules.h"

#include <cmath>

namespace z5calc {

int font_height_request(double points, int dotsPerInch) noexcept {
    return -static_cast<int>(std::lround(points * dotsPerInch / 72));
}

void keep_on_screen(TwipsBox& w, const TwipsBox& s, bool normal, std::int32_t charWidth,
                    std::int32_t charHeight) noexcept {
    if (w.top < s.top) w.top = s.top;
    if (w.left < s.left) w.left = s.left;
    if (static_cast<float>(w.height + w.top) > s.top + s.height)
        w.top = s.top + s.height - w.height;
    if (static_cast<float>(w.width + w.left) > s.left + s.width)
        w.left = s.left + s.width - w.width;
    if (!normal) return;
    if (s.width - 2.0f * charWidth < w.width) {
        w.left = s.left + charWidth;
        w.width = s.width - 2.0f * charWidth;
    }
    if (s.height - 2.0f * charHeight < w.height) {
        w.top = s.top + charHeight;
        w.height = s.height - 2.0f * charHeight;
    }
}

}  // namespace z5calc
