#include "rate_mark.h"

#include <algorithm>
#include <string>

#include "dpi_scale.h"
#include "japanese_font.h"
#include "tax_rate_text.h"

namespace z5calc {
namespace {

constexpr COLORREF kRateMarkColor = RGB(0xB0, 0x20, 0x20);

}  // namespace

void RateMark::place(const Control& memMark, int dpi) noexcept {
    rect_ = scaled(kRateMarkRect, dpi);
    rect_.left = std::max(rect_.left, memMark.Left + memMark.Width + scaled(3, dpi));
    if (dpi != dpi_) font_.reset();
    dpi_ = dpi;
}

bool RateMark::hit(POINT p) const noexcept {
    return shown_ && p.x >= rect_.left && p.x < rect_.left + rect_.width && p.y >= rect_.top &&
           p.y < rect_.top + rect_.height;
}

void RateMark::draw(HDC dc, bool contrast) noexcept {
    if (!shown_) return;
    if (!font_) font_.reset(create_japanese_font(scaled(12, dpi_), FW_BOLD));
    try {
        const std::wstring mark = reduced_rate_mark(rate_);
        ScopedSelect font(dc, font_.get());
        SetTextColor(dc, contrast ? GetSysColor(COLOR_WINDOWTEXT) : kRateMarkColor);
        RECT r = {rect_.left, rect_.top, rect_.left + rect_.width, rect_.top + rect_.height};
        DrawTextW(dc, mark.c_str(), static_cast<int>(mark.size()), &r,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } catch (...) {
        // No memory for a few characters: the mark is missing, the rate still applies.
    }
}

}  // namespace z5calc
