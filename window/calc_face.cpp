#include "calc_face.h"

#include <algorithm>

#include "window_dpi.h"
#include "window_region.h"

namespace z5calc {

void CalcFace::load(HMODULE resources, const WindowMetrics& metrics, int dpi) noexcept {
    resources_ = resources;
    metrics_ = metrics;
    take_scale(dpi);
    for (Control& k : keys_) k = Control{};
    control_of(KeyId::Trans).Visible = false;
    readout_ = Control{};
    lblMem_ = Control{};
    lblMem_.Visible = false;
    picWkBox_ = Control{};
    picWkBox_.Visible = false;
    place_picWk();
}

void CalcFace::take_scale(int dpi) noexcept {
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

void CalcFace::place_picWk() noexcept {
    // Outside the client area, 3240 x 4680 twips from its corner, the skin's size.
    picWkBox_.place({scaled(3240 / metrics_.twipsX, dpi_), scaled(4680 / metrics_.twipsY, dpi_),
                     skin_.width(), skin_.height()});
}

void CalcFace::lay_out(HWND window) noexcept {
    measure_character(window);
    make_fonts();
    readout_.place(scaled(kReadoutRect, dpi_));
    for (const KeyRow& entry : kKeys) control_of(entry.id).place(scaled(entry.rect, dpi_));
    lblMem_.Left = scaled(kMemMarkLeft, dpi_);
    lblMem_.Top = scaled(kMemMarkTop, dpi_);
    if (const WindowDc dc(window); dc) {
        // The mark sizes itself to its text.
        ScopedSelect font(dc.get(), memFont_.get());
        SIZE size = {};
        if (GetTextExtentPoint32W(dc.get(), L"M", 1, &size)) {
            lblMem_.Width = size.cx;
            lblMem_.Height = size.cy;
        }
    }
    rateMark_.place(lblMem_, dpi_);
    marks_.show(marks_.grand_total_shown(), marks_.rounding(), rateMark_, dpi_);
    control_of(KeyId::Trans).set_picture(transfer_rest_picture());
    apply_region(window);
    try {
        picWkPixels_.copy_from(skin_);
    } catch (...) {
        picWkPixels_.clear();  // no memory: the skin drags nothing until the next layout
    }
}

void CalcFace::forget() noexcept {
    picWkPixels_.clear();
    for (Control& k : keys_) k.picture = {};
    readoutFont_.reset();
    fitFont_.reset();
    fitHeight_ = 0;
    rateMark_.forget_font();
    marks_.forget_font();
    memFont_.reset();
    labelFont_.reset();
    smallLabelFont_.reset();
}

void CalcFace::apply_region(HWND window) noexcept {
    if (dpi_ == kBaseDpi) {
        ApplyWindowRegion(resources_, L"FRM", window);
        return;
    }
    ApplyScaledWindowRegion(resources_, dpi_, window);
}

void CalcFace::measure_character(HWND window) noexcept {
    const WindowDc dc(window);
    if (!dc) return;
    ScopedSelect font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    if (GetTextExtentPoint32W(dc.get(), L"\u25A1", 1, &size)) {
        charWidth_ = size.cx;
        charHeight_ = size.cy;
    }
}

void CalcFace::make_fonts() noexcept {
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

    // The memory mark follows the screen's own twips per pixel, in fractional points.
    LOGFONTW arial = {};
    arial.lfHeight =
        scaled(font_height_request(mem_font_points(exact_twips(screen.x)), screen.y), dpi_);
    arial.lfWeight = FW_BOLD;
    arial.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(arial.lfFaceName, L"Arial", LF_FACESIZE);
    memFont_.reset(CreateFontIndirectW(&arial));
    make_label_fonts();
}

std::array<RECT, kKeyCount> CalcFace::key_rects() const noexcept {
    std::array<RECT, kKeyCount> rects{};
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (keys_[i].Visible) rects[i] = keys_[i].rect();
    }
    return rects;
}

std::optional<KeyId> CalcFace::key_at(POINT p) const noexcept {
    for (const KeyRow& entry : kKeys) {
        const Control& k = key(entry.id);
        if (k.Visible && k.contains(p)) return entry.id;
    }
    return std::nullopt;
}

bool CalcFace::drags(POINT p) const noexcept {
    if (!contrast_ && picWk_color(p.x, p.y) == kDragColor) return true;
    if (key_at(p) || rateMark_.hit(p)) return false;
    return !(lblMem_.Visible && lblMem_.contains(p));
}

Picture CalcFace::pressed_picture(KeyId id) const noexcept {
    if (art_.loaded()) return art_.pressed(id);
    return load_bitmap_resource(resources_, key_spec(id).picture.c_str());
}

Picture CalcFace::transfer_rest_picture() const noexcept {
    if (art_.loaded()) return art_.transfer_at_rest();
    return load_bitmap_resource(resources_, kTransferAtRest.c_str());
}

}  // namespace z5calc
