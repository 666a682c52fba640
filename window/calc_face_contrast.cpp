#include "calc_face.h"

#include "japanese_font.h"

// The calculator in a contrast theme: no pictures, the system's colours, the same geometry and
// outline. The skin's colours would be unreadable beside what the user chose.
namespace z5calc {
namespace {

// The display window and the title's place, in 96-DPI client pixels.
constexpr KeyRect kDisplay = {11, 31, 184, 39};
constexpr KeyRect kTitle = {40, 6, 100, 20};
// The transfer key's round face within its rectangle: centre and radius.
constexpr int kTransferX = 30, kTransferY = 32, kTransferRadius = 24;

RECT to_rect(const KeyRect& r) noexcept {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

void frame(HDC dc, RECT r, HBRUSH brush, int width) noexcept {
    for (int i = 0; i < width; ++i, InflateRect(&r, -1, -1)) FrameRect(dc, &r, brush);
}

void label(HDC dc, std::wstring_view text, RECT r, int colour) noexcept {
    SetTextColor(dc, GetSysColor(colour));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// The window's outline in client coordinates, or null without one.
UniqueHrgn client_outline(HWND window) noexcept {
    UniqueHrgn region(CreateRectRgn(0, 0, 0, 0));
    if (!region || GetWindowRgn(window, region.get()) == ERROR) return {};
    RECT outer = {};
    POINT origin = {0, 0};
    GetWindowRect(window, &outer);
    ClientToScreen(window, &origin);
    OffsetRgn(region.get(), outer.left - origin.x, outer.top - origin.y);
    return region;
}

}  // namespace

bool high_contrast_on() noexcept {
    HIGHCONTRASTW state = {};
    state.cbSize = sizeof(state);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(state), &state, 0) &&
           (state.dwFlags & HCF_HIGHCONTRASTON);
}

void CalcFace::make_label_fonts() noexcept {
    labelFont_.reset();
    smallLabelFont_.reset();
    if (!contrast_) return;
    // Without smoothing: every pixel of a stroke in the theme's own colour.
    labelFont_.reset(create_japanese_font(scaled(15, dpi_), FW_BOLD, NONANTIALIASED_QUALITY));
    smallLabelFont_.reset(create_japanese_font(scaled(12, dpi_), FW_BOLD, NONANTIALIASED_QUALITY));
}

void CalcFace::paint_contrast(HDC dc, HWND window, std::optional<KeyId> pressed) noexcept {
    const RECT all = {0, 0, client_width(), client_height()};
    const HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
    const int line = scaled(1, dpi_);
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    if (UniqueHrgn outline = client_outline(window))
        FrameRgn(dc, outline.get(), ink, 2 * line, 2 * line);
    frame(dc, to_rect(scaled(kDisplay, dpi_)), ink, 2 * line);
    SetBkMode(dc, TRANSPARENT);
    {
        ScopedSelect font(dc, smallLabelFont_.get());
        label(dc, L"\u30BC\u30EB\u96FB\u5353", to_rect(scaled(kTitle, dpi_)), COLOR_WINDOWTEXT);
    }
    for (auto k = kKeys.rbegin(); k != kKeys.rend(); ++k) {
        if (!key(k->id).Visible) continue;
        // The transfer key's face at rest is a picture too: only the held key is down.
        const bool down =
            k->id == KeyId::Trans ? pressed == k->id : static_cast<bool>(key(k->id).picture);
        const HBRUSH face = GetSysColorBrush(down ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        const int text = down ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT;
        RECT r = to_rect(scaled(k->rect, dpi_));
        const std::wstring_view name = key_label(k->id);
        ScopedSelect font(
            dc, name.size() > 1 || k->rect.height < 25 ? smallLabelFont_.get() : labelFont_.get());
        if (k->id == KeyId::Trans) {
            const int x = r.left + scaled(kTransferX, dpi_), y = r.top + scaled(kTransferY, dpi_);
            const int radius = scaled(kTransferRadius, dpi_);
            UniqueHrgn round(CreateEllipticRgn(x - radius, y - radius, x + radius, y + radius));
            FillRgn(dc, round.get(), face);
            FrameRgn(dc, round.get(), ink, 2 * line, 2 * line);
            label(dc, name, {x - radius, y - radius, x + radius, y + radius}, text);
            continue;
        }
        InflateRect(&r, -line, -line);  // keys that meet at their cells stay apart
        FillRect(dc, &r, face);
        frame(dc, r, ink, line);
        label(dc, name, r, text);
    }
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
}

}  // namespace z5calc
