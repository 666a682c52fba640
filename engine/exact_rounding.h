#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Rounding as a person does it on paper: on the exact decimal value, never on a binary
// approximation of it (100 × 1.1 is 110, not 110.00000000000001).
namespace z5calc {

// 10^n for n from 0 to 15.
inline constexpr auto kPowersOfTen = [] {
    std::array<std::int64_t, 16> powers{1};
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

// A number as the readout writes it, exactly: mantissa / 10^scale.
struct ExactDecimal {
    std::int64_t mantissa = 0;
    int scale = 0;
};

// The readout's text ("-1,234.5", "0.", "12") as an exact decimal; nothing for text that is no
// plain decimal (exponent form, "Error") or has more digits than 15.
std::optional<ExactDecimal> exact_decimal(std::string_view text) noexcept;

// Down and Up go towards minus and plus infinity; HalfUp takes an exact half up (2.5 is 3,
// -2.5 is -2); None leaves the value as it is.
enum class Rounding : std::uint8_t { Down, Up, HalfUp, None };

// The exact quotient num / den rounded to `places` decimals (0 to 6) by `rule`, as the double
// nearest that decimal; nothing when den is not positive or the arithmetic would overflow.
std::optional<double> rounded_quotient(std::int64_t num, std::int64_t den, int places,
                                       Rounding rule) noexcept;

// How a calculator with a decimals switch rounds its results: to `decimals` places (0 to 4; below
// 0 as computed) by `rule`, symmetric about zero: Cut (切捨) toward zero, Up (切上) away from it,
// HalfUp (四捨五入) an exact half away from it (-2.5 is -3).
enum class ResultRule : std::uint8_t { Cut, Up, HalfUp };
struct ResultRounding {
    std::int8_t decimals = -1;
    ResultRule rule = ResultRule::HalfUp;
    friend constexpr bool operator==(ResultRounding, ResultRounding) = default;
};
inline constexpr int kMaxResultDecimals = 4;

// x rounded as the readout writes it (2.675 is 2.68 at two places half up, though the double is
// a little below), or x itself where there is nothing to round.
double round_result(double x, ResultRounding rounding) noexcept;

}  // namespace z5calc
