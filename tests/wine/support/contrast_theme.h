#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "import_patch.h"

// The colours of a contrast theme, by system colour index.
struct ThemeColours {
    const char* name;
    COLORREF window, windowText, buttonFace, buttonText, highlight, highlightText;
};
inline constexpr ThemeColours kBlackOnWhite = {
    "black on white", RGB(255, 255, 255),    RGB(0, 0, 0),      RGB(255, 255, 255),
    RGB(0, 0, 0),     RGB(0x37, 0x00, 0x6E), RGB(255, 255, 255)};
inline constexpr ThemeColours kWhiteOnBlack = {
    "white on black",   RGB(0, 0, 0),          RGB(255, 255, 255), RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(0x1A, 0xEB, 0xFF), RGB(0, 0, 0)};

// A contrast theme for one loaded module, which Wine cannot turn on: the module's imports of
// SystemParametersInfoW, GetSysColor and GetSysColorBrush answer with the theme while it is on.
// One at a time.
class ContrastTheme {
  public:
    ContrastTheme(HMODULE module, const ThemeColours& colours);
    ContrastTheme(const ContrastTheme&) = delete;
    ContrastTheme& operator=(const ContrastTheme&) = delete;
    ~ContrastTheme();

    bool applied() const;
    void set_on(bool on) { on_ = on; }
    // The theme's colour for a system colour index (the system's own for the rest).
    COLORREF colour(int index) const;

  private:
    static BOOL WINAPI parameters(UINT action, UINT param, PVOID data, UINT ini);
    static DWORD WINAPI system_colour(int index);
    static HBRUSH WINAPI system_brush(int index);
    static inline ContrastTheme* active_ = nullptr;

    ThemeColours colours_;
    bool on_ = true;
    std::array<HBRUSH, COLOR_MENUBAR + 1> brushes_{};
    std::unique_ptr<ImportPatch> patches_[3];
};

// WCAG's contrast ratio of two colours (1 to 21).
double contrast_ratio(COLORREF a, COLORREF b);
// What a label's ink reaches against `face` over a whole 2 x 2 pixel block, in a row-major
// picture `width` pixels wide.
double label_contrast(const std::vector<COLORREF>& pixels, int width, COLORREF face);
