#include "contrast_theme.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Parameters = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
using SystemColour = DWORD(WINAPI*)(int);
using SystemBrush = HBRUSH(WINAPI*)(int);

double channel(int value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(COLORREF c) {
    return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) +
           0.0722 * channel(GetBValue(c));
}

}  // namespace

double contrast_ratio(COLORREF a, COLORREF b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double label_contrast(const std::vector<COLORREF>& pixels, int width, COLORREF face) {
    double best = 1;
    for (std::size_t i = 0; i + width + 1 < pixels.size(); ++i) {
        if ((i + 1) % width == 0) continue;
        best = std::max(
            best, std::min({contrast_ratio(face, pixels[i]), contrast_ratio(face, pixels[i + 1]),
                            contrast_ratio(face, pixels[i + width]),
                            contrast_ratio(face, pixels[i + width + 1])}));
    }
    return best;
}

ContrastTheme::ContrastTheme(HMODULE module, const ThemeColours& colours) : colours_(colours) {
    for (int index : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT,
                      COLOR_HIGHLIGHTTEXT}) {
        brushes_[index] = CreateSolidBrush(colour(index));
    }
    active_ = this;
    patches_[0] = std::make_unique<ImportPatch>(module, "user32.dll", "SystemParametersInfoW",
                                                reinterpret_cast<void*>(&parameters));
    patches_[1] = std::make_unique<ImportPatch>(module, "user32.dll", "GetSysColor",
                                                reinterpret_cast<void*>(&system_colour));
    patches_[2] = std::make_unique<ImportPatch>(module, "user32.dll", "GetSysColorBrush",
                                                reinterpret_cast<void*>(&system_brush));
}

ContrastTheme::~ContrastTheme() {
    for (auto& patch : patches_) patch.reset();
    active_ = nullptr;
    for (HBRUSH brush : brushes_) {
        if (brush) DeleteObject(brush);
    }
}

bool ContrastTheme::applied() const {
    return patches_[0]->applied() && patches_[1]->applied() && patches_[2]->applied();
}

COLORREF ContrastTheme::colour(int index) const {
    switch (index) {
        case COLOR_WINDOW:
            return colours_.window;
        case COLOR_WINDOWTEXT:
            return colours_.windowText;
        case COLOR_BTNFACE:
            return colours_.buttonFace;
        case COLOR_BTNTEXT:
            return colours_.buttonText;
        case COLOR_HIGHLIGHT:
            return colours_.highlight;
        case COLOR_HIGHLIGHTTEXT:
            return colours_.highlightText;
    }
    return reinterpret_cast<SystemColour>(active_->patches_[1]->original())(index);
}

BOOL WINAPI ContrastTheme::parameters(UINT action, UINT param, PVOID data, UINT ini) {
    if (action == SPI_GETHIGHCONTRAST && data && active_) {
        auto* state = static_cast<HIGHCONTRASTW*>(data);
        state->dwFlags = HCF_AVAILABLE | (active_->on_ ? HCF_HIGHCONTRASTON : 0);
        state->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    return reinterpret_cast<Parameters>(active_->patches_[0]->original())(action, param, data, ini);
}

DWORD WINAPI ContrastTheme::system_colour(int index) {
    if (!active_->on_) {
        return reinterpret_cast<SystemColour>(active_->patches_[1]->original())(index);
    }
    return active_->colour(index);
}

HBRUSH WINAPI ContrastTheme::system_brush(int index) {
    if (active_->on_ && index >= 0 && index < static_cast<int>(active_->brushes_.size()) &&
        active_->brushes_[index]) {
        return active_->brushes_[index];
    }
    return reinterpret_cast<SystemBrush>(active_->patches_[2]->original())(index);
}
