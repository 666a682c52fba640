#pragma once

#include <cstdint>

// Rules of the calculator window that need no window: font sizes and keeping it on screen.
namespace z5calc {

// The readout's font size in points: a whole-number division, 18 at 15 twips per pixel.
constexpr int readout_font_points(std::int32_t twipsY) noexcept {
    return twipsY * 25 / 20;
}

// The memory mark's font size in points, from the screen's twips per pixel: 10.5 at 15.
constexpr double mem_font_points(double twipsPerPixel) noexcept {
    return twipsPerPixel * 14 / 20;
}

// The character height in pixels of a font of that size on a screen of that many dots per
// inch, as a font request gives it (negative: the character height, not the cell height).
int font_height_request(double points, int dotsPerInch) noexcept;

// Twips per pixel for placing windows. The recorded number is a whole one, rounded: 8 at
// 192 DPI where a host converting its field with 1440 / DPI uses 7.5. Where the recorded number
// is this screen's rounded one, the exact value is used, so that the window lands on the field.
constexpr double placement_twips(std::int32_t recorded, int dpi) noexcept {
    if (dpi > 0 && recorded == (1440 + dpi / 2) / dpi) return 1440.0 / dpi;
    return recorded;
}

// A window's or a screen's place in twips, as 32-bit floats.
struct TwipsBox {
    float left = 0, top = 0, width = 0, height = 0;
};

// Pulls a window back onto the screen: first its top-left corner, then its bottom-right
// one; a window in the normal state that is larger than the screen less a character's margin
// on each side is shrunk to it. charWidth and charHeight are used as the numbers they are.
void keep_on_screen(TwipsBox& window, const TwipsBox& screen, bool normal, std::int32_t charWidth,
                    std::int32_t charHeight) noexcept;

}  // namespace z5calc
