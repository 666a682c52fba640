#include "window_position.h"

namespace z5calc {

std::optional<TwipsBox> saved_window_place(const SettingsStore& settings, float width, float height,
                                           WindowMetrics metrics) noexcept {
    try {
        TwipsBox box = {0, 0, width, height};
        const std::int32_t top = settings.GetIniValue(ini_keys::kFrmCalcTop);
        if (top == ini_keys::kFrmCalcTop.fallback) {
            box.left =
                (GetSystemMetrics(SM_CXSCREEN) * static_cast<float>(metrics.placeX) - width) / 2;
            box.top =
                (GetSystemMetrics(SM_CYSCREEN) * static_cast<float>(metrics.placeY) - height) / 2;
        } else {
            box.left = static_cast<float>(settings.GetIniValue(ini_keys::kFrmCalcLeft));
            box.top = static_cast<float>(top);
        }
        return box;
    } catch (...) {
        return std::nullopt;
    }
}

void save_window_place(const SettingsStore& settings, HWND window, WindowMetrics metrics) noexcept {
    try {
        const TwipsBox box = window_twips(window, metrics.placeX, metrics.placeY);
        settings.PutIniValue(ini_keys::kFrmCalcLeft, static_cast<double>(box.left));
        settings.PutIniValue(ini_keys::kFrmCalcTop, static_cast<double>(box.top));
    } catch (...) {
        // Failed settings writes are ignored.
    }
}

}  // namespace z5calc
