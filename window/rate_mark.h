#pragma once

#include <windows.h>

#include <utility>

#include "control.h"
#include "gdi_handles.h"
#include "tax_rate_kind.h"

namespace z5calc {

// The reduced rate's mark 「軽8%」 in the display, after the memory mark: shown while the reduced
// rate is in use, and then a button that switches back. Nothing with the standard rate, so the
// face is then the usual one.
class RateMark {
  public:
    // Where it lies at `dpi`: after the memory mark, whose width follows its font, never touching
    // it. The font is made again at the next drawing.
    void place(const Control& memMark, int dpi) noexcept;
    KeyRect rect() const noexcept { return rect_; }
    void show_rate(TaxRateKind kind, double rate) noexcept {
        shown_ = kind == TaxRateKind::Reduced;
        rate_ = rate;
    }
    bool shown() const noexcept { return shown_; }
    bool hit(POINT p) const noexcept;
    // A button goes down: true on the shown mark, which the caller then switches. The release
    // that follows belongs to it (no context menu).
    bool press(POINT p) noexcept { return held_ = hit(p); }
    bool release() noexcept { return std::exchange(held_, false); }
    // In a colour of its own, the window text colour in a contrast theme.
    void draw(HDC dc, bool contrast) noexcept;
    void forget_font() noexcept { font_.reset(); }

  private:
    KeyRect rect_{};
    int dpi_ = 96;
    bool shown_ = false, held_ = false;
    double rate_ = 0;
    UniqueHfont font_;
};

}  // namespace z5calc
