#include "status_marks.h"

#include <string>

#include "dpi_scale.h"
#include "japanese_font.h"
#include "rounding_text.h"

namespace z5calc {

void StatusMarks::show(bool grandTotal, ResultRounding rounding, const RateMark& rate,
                       int dpi) noexcept {
    grandTotal_ = grandTotal;
    rounding_ = rounding;
    if (dpi != dpi_) font_.reset();
    dpi_ = dpi;
    const KeyRect rateRect = rate.rect();
    int left = rateRect.left;
    right_ = 0;
    if (rate.shown()) {
        right_ = rateRect.left + rateRect.width;
        left = right_ + scaled(kMarkGap, dpi);
    }
    auto next = [&](KeyRect at96, bool shown) {
        KeyRect r = scaled(at96, dpi);
        r.left = left;
        if (shown) {
            right_ = r.left + r.width;
            left = right_ + scaled(kMarkGap, dpi);
        }
        return r;
    };
    gtRect_ = next(kGrandTotalMarkRect, grandTotal_);
    roundingRect_ = next(kRoundingMarkRect, rounding_shown());
}

void StatusMarks::draw(HDC dc, COLORREF ink) noexcept {
    if (!grandTotal_ && !rounding_shown()) return;
    if (!font_) font_.reset(create_japanese_font(scaled(12, dpi_), FW_BOLD));
    ScopedSelect font(dc, font_.get());
    SetTextColor(dc, ink);
    auto draw_text = [&](const KeyRect& at, std::wstring_view text) {
        RECT r = {at.left, at.top, at.left + at.width, at.top + at.height};
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    };
    if (grandTotal_) draw_text(gtRect_, kGrandTotalMark);
    try {
        if (rounding_shown()) draw_text(roundingRect_, rounding_mark(rounding_));
    } catch (...) {
        // No memory for a few characters: the mark is missing, the rounding still applies.
    }
}

}  // namespace z5calc
