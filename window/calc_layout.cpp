#include "calc_window.h"

#include <algorithm>

#include "window_dpi.h"
#include "window_region.h"

namespace z5calc {

void CalcWindow::take_scale(int dpi) noexcept {
    // Nothing may go on showing the art that is replaced.
    for (Control& k : keys_) k.picture = {};
    // Beyond the largest drawn art the window keeps that art's size: a larger one would only
    // scale the same pictures up, at the cost of a cache many times the size.
    dpi_ = std::min(usable_dpi(dpi), kBaseDpi * kArtPercents.back() / 100);
    // The art decoded for an earlier display at this DPI is used again: a call opens at once.
    const bool kept = art_.loaded() && art_.dpi() == dpi_ && art_.module() == resources_;
    if (dpi_ == kBaseDpi || (!kept && !art_.load(resources_, dpi_))) {
        art_.clear();
        dpi_ = kBaseDpi;  // without art for it, the window keeps its 96-DPI size
    }
    skin_ = art_.loaded() ? art_.skin() : load_bitmap_resource(resources_, L"SKIN");
}

void CalcWindow::apply_region() noexcept {
    if (dpi_ == kBaseDpi) {
        ApplyWindowRegion(resources_, L"FRM", hwnd());
        return;
    }
    ApplyScaledWindowRegion(resources_, dpi_, hwnd());
}

void CalcWindow::dpi_changed(int dpi, const RECT& suggested) noexcept {
    if (!hwnd()) return;
    if (pressed_) capture_lost();
    take_scale(dpi);
    place_picWk();
    measure_character();
    arrange_keys();
    apply_region();
    try {
        picWkPixels_.copy_from(skin_);
    } catch (...) {
        picWkPixels_.clear();  // no memory: the skin drags nothing until the next load
    }
    tapeWindow_.set_look(readoutFont_.get(), dpi_, contrast_);
    const POINT at = on_screen(suggested);
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

// Where the window goes for a suggested rectangle: its corner, moved as little as it takes
// to bring the whole window into the work area of the monitor nearest the suggestion (anyone
// may send a DPI change, with any rectangle).
POINT CalcWindow::on_screen(const RECT& suggested) const noexcept {
    RECT now = {};
    GetWindowRect(hwnd(), &now);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG width = now.right - now.left, height = now.bottom - now.top;
    return {std::max(work.left, std::min(suggested.left, work.right - width)),
            std::max(work.top, std::min(suggested.top, work.bottom - height))};
}

void CalcWindow::create_controls() noexcept {
    for (Control& k : keys_) k = Control{};
    control_of(KeyId::Trans).Visible = false;
    readout_ = Control{};
    lblMem_ = Control{};
    lblMem_.Visible = false;
    picWkBox_ = Control{};
    picWkBox_.Visible = false;
    place_picWk();
}

void CalcWindow::place_picWk() noexcept {
    // Outside the client area, 3240 x 4680 twips from its corner, the skin's size.
    picWkBox_.place({scaled(3240 / metrics_.twipsX, dpi_), scaled(4680 / metrics_.twipsY, dpi_),
                     skin_.width(), skin_.height()});
}

void CalcWindow::measure_character() noexcept {
    const WindowDc dc(hwnd());
    if (!dc) return;
    ScopedSelect font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    if (GetTextExtentPoint32W(dc.get(), L"\u25A1", 1, &size)) {
        charWidth_ = size.cx;
        charHeight_ = size.cy;
    }
}

void CalcWindow::arrange_keys() noexcept {
    const Dpi screen = screen_dpi();

    // The readout keeps the window's font face, made bold and sized by the start-up's twips.
    LOGFONTW face = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face);
    LOGFONTW lf = face;
    // At another scale than 96 DPI the sizes grow with the layout.
    lf.lfHeight = scaled(font_height_request(readout_font_points(metrics_.twipsY), screen.y), dpi_);
    lf.lfWidth = 0;
    lf.lfWeight = FW_BOLD;
    readoutFont_.reset(CreateFontIndirectW(&lf));
    fitFont_.reset();
    fitHeight_ = 0;
    readout_.place(scaled(kReadoutRect, dpi_));

    for (const KeyRow& entry : kKeys) control_of(entry.id).place(scaled(entry.rect, dpi_));

    // The memory mark follows the screen's own twips per pixel, in fractional points.
    LOGFONTW arial = {};
    arial.lfHeight =
        scaled(font_height_request(mem_font_points(exact_twips(screen.x)), screen.y), dpi_);
    arial.lfWeight = FW_BOLD;
    arial.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(arial.lfFaceName, L"Arial", LF_FACESIZE);
    memFont_.reset(CreateFontIndirectW(&arial));
    lblMem_.Left = scaled(kMemMarkLeft, dpi_);
    lblMem_.Top = scaled(kMemMarkTop, dpi_);
    if (const WindowDc dc(hwnd()); dc) {
        // The mark sizes itself to its text.
        ScopedSelect font(dc.get(), memFont_.get());
        SIZE size = {};
        if (GetTextExtentPoint32W(dc.get(), L"M", 1, &size)) {
            lblMem_.Width = size.cx;
            lblMem_.Height = size.cy;
        }
    }
    rateMark_.place(lblMem_, dpi_);

    make_label_fonts();
    key_up(KeyId::Trans, 0, 0);  // gives it its picture at rest
    tooltips_.place(key_rects());
    tooltips_.scale(dpi_);

    // Outer size = outer - client + wanted client. In pixels this is the twips computation
    // divided through by twips per pixel, without its rounding.
    RECT outer = {}, client = {};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    const int width = client_width(), height = client_height();
    if (client.right == width && client.bottom == height) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left - client.right + width,
                 outer.bottom - outer.top - client.bottom + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::array<RECT, kKeyCount> CalcWindow::key_rects() const noexcept {
    std::array<RECT, kKeyCount> rects{};
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (keys_[i].Visible) rects[i] = keys_[i].rect();
    }
    return rects;
}

}  // namespace z5calc
