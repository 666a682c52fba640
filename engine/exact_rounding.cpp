#include "exact_rounding.h"

#include <cmath>

#include "number_text.h"

namespace z5calc {
namespace {

// Every integer up to this is a double exactly.
constexpr std::int64_t kExactInDouble = std::int64_t{1} << 53;

// The integer quotient rounded towards minus infinity (C++ division goes towards zero).
std::int64_t floor_div(std::int64_t num, std::int64_t den) {
    const std::int64_t q = num / den;
    return (num % den != 0 && num < 0) ? q - 1 : q;
}

}  // namespace

std::optional<ExactDecimal> exact_decimal(std::string_view text) noexcept {
    ExactDecimal d;
    bool negative = false, point = false;
    int digits = 0;
    std::size_t i = 0;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        i = 1;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ',' && !point) continue;
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9' || ++digits > 15) return std::nullopt;
        d.mantissa = d.mantissa * 10 + (c - '0');
        if (point) ++d.scale;
    }
    if (digits == 0) return std::nullopt;
    if (negative) d.mantissa = -d.mantissa;
    return d;
}

std::optional<double> rounded_quotient(std::int64_t num, std::int64_t den, int places,
                                       Rounding rule) noexcept {
    if (den <= 0 || places < 0 || places > 6) return std::nullopt;
    // num / den to `places` decimals is (num × 10^places / den) / 10^places.
    const std::int64_t unit = kPowersOfTen[places];
    std::int64_t scaled = 0;
    if (__builtin_mul_overflow(num, unit, &scaled)) return std::nullopt;
    std::int64_t q = 0;
    switch (rule) {
        case Rounding::Down:
            q = floor_div(scaled, den);
            break;
        case Rounding::Up:
            q = -floor_div(-scaled, den);
            break;
        case Rounding::HalfUp: {
            std::int64_t twice = 0, twiceDen = 0;
            if (__builtin_mul_overflow(scaled, 2, &twice) ||
                __builtin_mul_overflow(den, 2, &twiceDen) ||
                __builtin_add_overflow(twice, den, &twice))
                return std::nullopt;
            q = floor_div(twice, twiceDen);
            break;
        }
        case Rounding::None:
            // Both exact as doubles: their quotient is the double nearest the exact value.
            if (num > kExactInDouble || num < -kExactInDouble || den > kExactInDouble)
                return std::nullopt;
            return static_cast<double>(num) / static_cast<double>(den);
    }
    if (q > kExactInDouble || q < -kExactInDouble) return std::nullopt;
    return static_cast<double>(q) / static_cast<double>(unit);
}

double round_result(double x, ResultRounding rounding) noexcept {
    const int places = rounding.decimals;
    if (places < 0 || places > kMaxResultDecimals || !in_display_range(x) || x == 0) return x;
    const bool negative = x < 0;
    const std::optional<ExactDecimal> exact = exact_decimal(display_text(std::fabs(x)).view());
    // Beyond 15 digits the readout shows no decimals; below its last place it shows 0.
    if (!exact) return x;
    if (exact->mantissa == 0) return 0;
    if (exact->scale <= places) return x;
    static constexpr Rounding kMagnitudeRule[] = {Rounding::Down, Rounding::Up, Rounding::HalfUp};
    const std::optional<double> magnitude =
        rounded_quotient(exact->mantissa, kPowersOfTen[static_cast<std::size_t>(exact->scale)],
                         places, kMagnitudeRule[static_cast<std::size_t>(rounding.rule)]);
    if (!magnitude || *magnitude == 0) return magnitude ? 0 : x;
    return negative ? -*magnitude : *magnitude;
}

}  // namespace z5calc
