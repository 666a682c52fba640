#pragma once

#include <windows.h>

#include "exact_rounding.h"
#include "gdi_handles.h"
#include "key_table.h"
#include "rate_mark.h"

namespace z5calc {

// The display's marks after the rate mark: 「GT」 while the grand total is not zero, and the
// rounding of results (「2桁5/4」) while they are rounded. Each follows the one before it that
// is shown, so that a lone mark sits where the rate mark would.
class StatusMarks {
  public:
    void show(bool grandTotal, ResultRounding rounding, const RateMark& rate, int dpi) noexcept;
    bool grand_total_shown() const noexcept { return grandTotal_; }
    bool rounding_shown() const noexcept { return rounding_.decimals >= 0; }
    ResultRounding rounding() const noexcept { return rounding_; }
    KeyRect grand_total_rect() const noexcept { return gtRect_; }
    KeyRect rounding_rect() const noexcept { return roundingRect_; }
    // The right edge of the last mark shown, the rate mark's included; 0 for none.
    int right() const noexcept { return right_; }
    // In the rate mark's colour, the window text colour in a contrast theme.
    void draw(HDC dc, COLORREF ink) noexcept;
    void forget_font() noexcept { font_.reset(); }

  private:
    bool grandTotal_ = false;
    ResultRounding rounding_;
    KeyRect gtRect_{}, roundingRect_{};
    int right_ = 0;
    int dpi_ = 96;
    UniqueHfont font_;
};

}  // namespace z5calc
