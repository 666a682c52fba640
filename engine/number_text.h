#pragma once

#include <optional>
#include <string_view>

#include "readout_text.h"

namespace z5calc {

// Every conversion between readout text and numbers lives here. None of them looks at the
// process locale: the point is always "." and the group separator always ",".

// The largest magnitude the readout can show.
inline constexpr double kDisplayLimit = 999'999'999.0;

// Reads a readout as a number: every "," is ignored, then an optional "-" and digits with at
// most one "." among them (at least one digit). "Error", "-", "." and empty text are not numbers.
std::optional<double> read_number(std::string_view text) noexcept;

// True when x can be shown (NaN never can).
constexpr bool in_display_range(double x) noexcept {
    return x <= kDisplayLimit && x >= -kDisplayLimit;
}

// x in the display format "#,###,###,##0.#########", cut to 14 characters.
// Precondition: in_display_range(x).
ReadoutText display_text(double x) noexcept;

// x without group separators and without a trailing point, digits as needed ("-1234.5", "7").
ReadoutText plain_text(double x) noexcept;

// x as general numeric text: up to 15 significant digits, no grouping, no trailing point,
// exponent form from 1E+15 upward and below 1E-4 ("99999999", "1E+15", "1.5E-05").
// Non-finite values give "Error".
ReadoutText general_text(double x) noexcept;

}  // namespace z5calc
