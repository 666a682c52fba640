#pragma once

#include <array>

namespace z5calc {

// Significant digits of a finite nonzero magnitude, no trailing zeros:
// value = 0.d1d2d3... * 10^point.
struct Decimal {
    std::array<char, 24> digits{};
    int count = 0;
    int point = 0;
};

// The magnitude correctly rounded to `significant` digits (1 to 17), an exact half to even, as
// printf's "%.*e" does. Precondition: magnitude is finite and greater than zero.
Decimal rounded_decimal(double magnitude, int significant) noexcept;

// The fewest digits that read back as the same double, the nearest of them when two qualify.
// Precondition: magnitude is finite and greater than zero.
Decimal shortest_decimal(double magnitude) noexcept;

// The exact digits of a whole magnitude below 2^1024 (at most 309), most significant first;
// returns how many. Precondition: whole is finite, integral and not negative.
int whole_digits(double whole, std::array<char, 310>& out) noexcept;

}  // namespace z5calc
