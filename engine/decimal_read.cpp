#include "decimal_read.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "big_int.h"

// Decimal text to double with a small big integer, in place of the standard library's
// from_chars, whose float twin and tables come into a static DLL with it. Exact: the value is
// held as a whole number times a power of two before the one rounding.
namespace z5calc {
namespace {

using Status = DecimalRead::Status;

// Room for the largest value worked on: 5^630 (300 digits below 10^-330) scaled up by 63 bits
// (about 1,530 bits), or 10^310 (1,030 bits).
using Big = BigInt<64>;

// q * 2^e2 (q not zero), with `sticky` for anything below q's last bit, rounded once to a
// double, ties to even.
DecimalRead make_double(std::uint64_t q, int e2, bool sticky) noexcept {
    const int lead = std::countl_zero(q);
    q <<= lead;
    const int exponent = e2 - lead + 63;  // of q's top bit
    // Bits of q below the double's last place: 11 for a normal number, more below 2^-1022.
    const int below = exponent >= -1022 ? 11 : 11 + (-1022 - exponent);
    if (below > 64) return {Status::OutOfRange, 0};
    const std::uint64_t m = below < 64 ? q >> below : 0;
    const std::uint64_t rest = below < 64 ? q & ((std::uint64_t{1} << below) - 1) : q;
    const std::uint64_t half = std::uint64_t{1} << (below - 1);
    const bool up = rest > half || (rest == half && (sticky || (m & 1)));
    const double value = std::ldexp(static_cast<double>(m + up), exponent - 63 + below);
    if (value == 0) return {Status::OutOfRange, 0};
    if (std::isinf(value)) return {Status::OutOfRange, 0};
    return {Status::Ok, value};
}

constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

DecimalRead read_decimal(std::string_view text) noexcept {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    // The significant digits (leading zeros dropped, at most 300), and the power of ten that
    // scales them.
    std::array<char, 300> digits;
    int count = 0, scale = 0, seen = 0;
    bool point = false, dropped = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        ++seen;
        if (count == 0 && c == '0') {
            if (point) --scale;
            continue;
        }
        if (count < static_cast<int>(digits.size()) - 1) {
            digits[static_cast<std::size_t>(count++)] = c;
            if (point) --scale;
        } else {
            // Digits beyond what any double needs: only whether they are zero counts.
            dropped |= c != '0';
            if (!point) ++scale;
        }
    }
    if (seen == 0) return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool down = i < text.size() && (text[i] == '-' || text[i] == '+') && text[i++] == '-';
        int exponent = 0, expDigits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++expDigits) {
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
        }
        if (expDigits == 0) return {};
        scale += down ? -exponent : exponent;
    }
    if (i != text.size()) return {};
    const double sign = negative ? -1.0 : 1.0;
    if (dropped) {
        digits[static_cast<std::size_t>(count++)] = '1';  // just above the digits kept
        --scale;
    }
    while (count > 0 && digits[static_cast<std::size_t>(count - 1)] == '0') {
        --count;
        ++scale;
    }
    if (count == 0) return {Status::Ok, sign * 0.0};
    // value = digits * 10^scale, within [10^(top - 1), 10^top).
    const int top = count + scale;
    if (top > 310 || top < -330) return {Status::OutOfRange, 0};

    if (count <= 15 && scale >= -22 && scale <= 22) {
        // Both exact doubles: their product or quotient is rounded once.
        std::uint64_t m = 0;
        for (int k = 0; k < count; ++k) m = m * 10 + static_cast<unsigned>(digits[k] - '0');
        const double x = static_cast<double>(m);
        const double power = kExactPowers[scale < 0 ? -scale : scale];
        return {Status::Ok, sign * (scale < 0 ? x / power : x * power)};
    }

    Big n(0);
    for (int k = 0; k < count; ++k) n.multiply(10, static_cast<unsigned>(digits[k] - '0'));
    DecimalRead r;
    if (scale >= 0) {
        n.multiply_pow5(scale);
        n.shift_left(scale);
        bool sticky = false;
        const std::uint64_t q = n.top64(sticky);
        r = make_double(q, n.bits() > 64 ? n.bits() - 64 : 0, sticky);
    } else {
        // digits / 10^k = (digits / 5^k) * 2^-k, the quotient taken to 62 or 63 bits.
        const int k = -scale;
        Big d(1);
        d.multiply_pow5(k);
        int shiftN = 0, shiftD = 0;
        if (n.bits() < d.bits() + 63) {
            shiftN = d.bits() + 63 - n.bits();
        } else {
            shiftD = n.bits() - d.bits() - 63;
        }
        n.shift_left(shiftN);
        d.shift_left(shiftD + 63);
        std::uint64_t q = 0;
        for (int b = 63; b >= 0; --b) {
            if (n.at_least(d)) {
                n.subtract(d);
                q |= std::uint64_t{1} << b;
            }
            d.shift_right(1);
        }
        r = make_double(q, shiftD - shiftN - k, !n.is_zero());
    }
    if (r.status == Status::Ok) r.value *= sign;
    return r;
}

}  // namespace z5calc
