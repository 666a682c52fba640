#pragma once

#include <cstdint>

// Rules of placing windows and sizing fonts on a screen that need no window: portable, so that
// they are tested natively too.
namespace z5calc {

// The character height in pixels of a font of that size on a screen of that many dots per
// inch, as a font request gives it (negative: the character height, not the cell height).
int font_height_request(double points, int dotsPerInch) noexcept;

// Twips per pixel at dpi, exactly and as the whole number the component records (15 at 96 DPI,
// 8 at 192); 15 for no DPI.
constexpr double exact_twips(int dpi) noexcept {
    return dpi > 0 ? 1440.0 / dpi : 15;
}
constexpr std::int32_t whole_twips(int dpi) noexcept {
    return dpi > 0 ? (1440 + dpi / 2) / dpi : 15;
}

// Twips per pixel for placing windows. The recorded number is a whole one, rounded: 8 at
// 192 DPI where a host converting its field with 1440 / DPI uses 7.5. Where the recorded number
// is this screen's rounded one, the exact value is used, so that the window lands on the field.
constexpr double placement_twips(std::int32_t recorded, int dpi) noexcept {
    if (dpi > 0 && recorded == whole_twips(dpi)) return exact_twips(dpi);
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

inline constexpr int kBaseDpi = 96;

// A 96-DPI coordinate or length at dpi, rounded half up.
constexpr int scaled(int v, int dpi) noexcept {
    const long long twice = 2LL * v * dpi + kBaseDpi;
    const long long q = twice / (2 * kBaseDpi);
    return static_cast<int>(twice < 0 && twice % (2 * kBaseDpi) != 0 ? q - 1 : q);
}

// A DPI that makes no sense (none, or beyond any screen) is taken as 96.
constexpr int usable_dpi(int dpi) noexcept {
    return dpi >= 48 && dpi <= 960 ? dpi : kBaseDpi;
}

}  // namespace z5calc
