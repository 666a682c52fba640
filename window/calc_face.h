#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "control.h"
#include "dpi_scale.h"
#include "gdi_handles.h"
#include "key_table.h"
#include "layout.h"
#include "picture.h"
#include "rate_mark.h"
#include "status_marks.h"
#include "scaled_art.h"
#include "window_twips.h"

namespace z5calc {

// Whether the user has a contrast theme on.
bool high_contrast_on() noexcept;

// What the calculator window shows and where: the skin and the art at one DPI, the controls laid
// on them (the keys, the readout, the memory mark "M" lblMem, the rate mark and the hidden copy
// of the skin the hit test reads, picWk), their fonts and the contrast look. Layout and hit test
// in calc_face.cpp, painting in calc_face_paint.cpp, the contrast look in calc_face_contrast.cpp.
class CalcFace {
  public:
    static constexpr int kClientWidth = 210;
    static constexpr int kClientHeight = 273;
    static constexpr std::int32_t kDragColor = 0x50C050;

    CalcFace() = default;
    CalcFace(const CalcFace&) = delete;
    CalcFace& operator=(const CalcFace&) = delete;

    // The art of `resources` at `dpi` (as near as it is drawn), controls at their start.
    void load(HMODULE resources, const WindowMetrics& metrics, int dpi) noexcept;
    // Again at another DPI: the art, the work copy's place; lay_out must follow.
    void rescale(int dpi) noexcept {
        take_scale(dpi);
        place_picWk();
    }
    // Measures and places the controls and makes their fonts for `window`, and gives `window`
    // the skin's outline. Fresh copy of the skin for the hit test.
    void lay_out(HWND window) noexcept;
    // The window is gone: pictures, fonts and the work copy go; the art stays for the next one.
    void forget() noexcept;
    // True when the look changed (a contrast theme went on or off).
    bool set_contrast(bool on) noexcept {
        if (on == contrast_) return false;
        contrast_ = on;
        make_label_fonts();
        return true;
    }

    HMODULE resources() const noexcept { return resources_; }
    const WindowMetrics& metrics() const noexcept { return metrics_; }

    const std::array<Control, kKeyCount>& keys() const noexcept { return keys_; }
    const Control& key(KeyId id) const noexcept { return keys_[static_cast<std::size_t>(id)]; }
    Control& control_of(KeyId id) noexcept { return keys_[static_cast<std::size_t>(id)]; }
    const Control& Readout() const noexcept { return readout_; }
    const Control& lblMem() const noexcept { return lblMem_; }
    Control& lblMem() noexcept { return lblMem_; }
    const Control& picWk() const noexcept { return picWkBox_; }
    const RateMark& rate_mark() const noexcept { return rateMark_; }
    RateMark& rate_mark() noexcept { return rateMark_; }
    const StatusMarks& status_marks() const noexcept { return marks_; }
    // The grand total's and the rounding's marks as they now are; placed after the rate mark,
    // so that this follows every change of that too.
    void show_marks(bool grandTotal, ResultRounding rounding) noexcept {
        marks_.show(grandTotal, rounding, rateMark_, dpi_);
    }

    // The DPI the face is laid out for, and its client area there.
    int dpi() const noexcept { return dpi_; }
    int client_width() const noexcept { return scaled(kClientWidth, dpi_); }
    int client_height() const noexcept { return scaled(kClientHeight, dpi_); }
    bool contrast_theme() const noexcept { return contrast_; }
    // Whether the art at this DPI is drawn for it (always at 96 DPI).
    bool art_drawn() const noexcept { return dpi_ == kBaseDpi || art_.drawn(); }
    std::int32_t charWidth() const noexcept { return charWidth_; }
    std::int32_t charHeight() const noexcept { return charHeight_; }
    HFONT readout_font() const noexcept { return readoutFont_.get(); }
    HFONT mem_font() const noexcept { return memFont_.get(); }

    // The colour of the skin copy at client (x, y), or -1 outside it.
    std::int32_t picWk_color(int x, int y) const noexcept { return picWkPixels_.color_at(x, y); }
    // The shown key at client `p`, the first in the key table's order.
    std::optional<KeyId> key_at(POINT p) const noexcept;
    // Whether client `p` drags the window: the skin's drag colour, or no control there (the
    // readout is none). In a contrast theme the keys are drawn whole: only they count.
    bool drags(POINT p) const noexcept;
    // Each key's rectangle, empty for a hidden key: where its tooltip answers.
    std::array<RECT, kKeyCount> key_rects() const noexcept;
    // A key's pictures at the face's scale.
    Picture pressed_picture(KeyId id) const noexcept;
    Picture transfer_rest_picture() const noexcept;

    // The whole client area of `window` into `target`, with `readout` in the display and
    // `pressed` the key the mouse holds.
    void paint(HDC target, HWND window, std::string_view readout,
               std::optional<KeyId> pressed) noexcept;

  private:
    void take_scale(int dpi) noexcept;
    void place_picWk() noexcept;
    void measure_character(HWND window) noexcept;
    void make_fonts() noexcept;
    void make_label_fonts() noexcept;
    void apply_region(HWND window) noexcept;

    HBITMAP skin_face(HDC target) noexcept;
    void draw_skin(HDC target, HDC dc) noexcept;
    void draw_readout(HDC dc, std::string_view readout) noexcept;
    void draw_mem_mark(HDC dc) noexcept;
    int readout_room() const noexcept;
    HFONT readout_font_for(HDC dc, const wchar_t* text, int length) noexcept;
    void paint_contrast(HDC dc, HWND window, std::optional<KeyId> pressed) noexcept;

    HMODULE resources_ = nullptr;
    WindowMetrics metrics_;
    Picture skin_;
    // skin_ as the display's bitmap, kept between loads, and the art it was made from.
    UniqueHbitmap skinFace_;
    std::pair<HMODULE, int> skinFaceOf_;
    int dpi_ = kBaseDpi;
    ScaledArt art_;  // the art at dpi_, unless that is 96; kept between loads
    PixelCopy picWkPixels_;
    std::array<Control, kKeyCount> keys_;
    Control readout_;
    Control lblMem_;
    Control picWkBox_;  // the skin's work copy: hidden, outside the client area
    RateMark rateMark_;
    StatusMarks marks_;
    UniqueHfont readoutFont_;
    UniqueHfont memFont_;
    bool contrast_ = false;  // a contrast theme is on: drawn without pictures
    UniqueHfont labelFont_;  // the keys' labels then
    UniqueHfont smallLabelFont_;
    // The readout's font shrunk for a text the seed font cannot fit, and its height.
    UniqueHfont fitFont_;
    int fitHeight_ = 0;
    std::int32_t charWidth_ = 0;
    std::int32_t charHeight_ = 0;
};

}  // namespace z5calc
