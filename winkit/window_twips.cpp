#include "window_twips.h"

#include <cmath>

#include "window_dpi.h"

namespace z5calc {

WindowMetrics screen_metrics(std::int32_t twipsX, std::int32_t twipsY) noexcept {
    WindowMetrics m(twipsX, twipsY);
    const Dpi dpi = screen_dpi();
    m.placeX = placement_twips(twipsX, dpi.x);
    m.placeY = placement_twips(twipsY, dpi.y);
    return m;
}

TwipsBox window_twips(HWND hwnd, double twipsX, double twipsY) noexcept {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return {static_cast<float>(r.left * twipsX), static_cast<float>(r.top * twipsY),
            static_cast<float>((r.right - r.left) * twipsX),
            static_cast<float>((r.bottom - r.top) * twipsY)};
}

void set_window_twips(HWND hwnd, const TwipsBox& box, double twipsX, double twipsY) noexcept {
    auto pixels = [](float twips, double perPixel) {
        return static_cast<int>(std::lround(twips / perPixel));
    };
    const RECT wanted = {pixels(box.left, twipsX), pixels(box.top, twipsY),
                         pixels(box.left, twipsX) + pixels(box.width, twipsX),
                         pixels(box.top, twipsY) + pixels(box.height, twipsY)};
    RECT now = {};
    // Moving a window costs a round trip to the display; a window in place stays put.
    if (GetWindowRect(hwnd, &now) && EqualRect(&now, &wanted)) return;
    SetWindowPos(hwnd, nullptr, wanted.left, wanted.top, wanted.right - wanted.left,
                 wanted.bottom - wanted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace z5calc
