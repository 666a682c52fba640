#include "number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace z5calc {

namespace {

// Significant digits of a finite nonzero |x|, no trailing zeros: value = 0.d1d2d3... * 10^point.
struct Decimal {
    std::array<char, 24> digits{};
    int count = 0;
    int point = 0;
};

// Parses the "d.ddde±XX" form that std::to_chars writes in scientific notation.
Decimal parse_scientific(const char* first, const char* last) noexcept {
    Decimal d;
    const char* p = first;
    for (; p != last && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9' && d.count < static_cast<int>(d.digits.size())) {
            d.digits[d.count++] = *p;
        }
    }
    int exponent = 0;
    if (p != last) std::from_chars(p + (p[1] == '+' ? 2 : 1), last, exponent);
    d.point = exponent + 1;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

Decimal rounded_decimal(double magnitude, int significant) noexcept {
    std::array<char, 32> buf;
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                           std::chars_format::scientific, significant - 1);
    return parse_scientific(buf.data(), r.ptr);
}

void append_grouped(ReadoutText& out, std::uint64_t value) noexcept {
    std::array<char, 24> digits;
    auto r = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    auto n = static_cast<int>(r.ptr - digits.data());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
}

}  // namespace

std::optional<double> read_number(std::string_view text) noexcept {
    std::array<char, ReadoutText::kCapacity + 1> buf;
    std::size_t n = 0;
    bool any_digit = false;
    bool any_point = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == ',') continue;
        if (c == '-') {
            if (n != 0) return std::nullopt;
        } else if (c == '.') {
            if (any_point) return std::nullopt;
            any_point = true;
        } else if (c >= '0' && c <= '9') {
            any_digit = true;
        } else {
            return std::nullopt;
        }
        if (n == buf.size()) return std::nullopt;
        buf[n++] = c;
    }
    if (!any_digit) return std::nullopt;
    double value = 0;
    auto r = std::from_chars(buf.data(), buf.data() + n, value);
    // A digits-only text always parses; out-of-range exponents cannot occur in 31 characters.
    if (r.ec != std::errc{} || r.ptr != buf.data() + n) return std::nullopt;
    return value;
}

// Reads x as the platform's number formatter does, from its decimal text at 15 significant
// digits, and rounds that to nine places, an exact half away from zero. The 15 digits drop the
// binary tail of a result (9052 X 7833.8 is 70911557.60000001 as a double) and keep what the
// user typed ("0.0000000025" stays a half and rounds up).
ReadoutText display_text(double x) noexcept {
    constexpr std::uint64_t kNanosPerUnit = 1'000'000'000;
    std::uint64_t nanos = 0;  // |x| in units of 10^-9, at most 1,000,000,000 * 10^9
    if (x != 0) {
        Decimal d = rounded_decimal(std::fabs(x), 15);
        int kept = d.point + 9;  // digits at or above the ninth decimal place
        for (int i = 0; i < kept && i < d.count; ++i) nanos = nanos * 10 + (d.digits[i] - '0');
        for (int i = d.count; i < kept; ++i) nanos *= 10;
        if (kept >= 0 && kept < d.count && d.digits[kept] >= '5') ++nanos;
    }

    ReadoutText out;
    // A negative value that rounds to zero is shown as "0.": "-0." means a negative entry
    // about to receive decimals and must not look like a result.
    if (x < 0 && nanos != 0) out.push_back('-');
    append_grouped(out, nanos / kNanosPerUnit);
    out.push_back('.');
    std::uint64_t fraction = nanos % kNanosPerUnit;
    if (fraction != 0) {
        std::array<char, 9> digits;
        for (int i = 8; i >= 0; --i, fraction /= 10)
            digits[i] = static_cast<char>('0' + fraction % 10);
        out.append({digits.data(), digits.size()});
    }
    // The display keeps 14 characters; the longest values lose decimals, without rounding.
    // Zeros at the end of the decimals go, also those the cut leaves ("12,345,678.000").
    if (out.size() > 14) out.assign(out.view().substr(0, 14));
    // The point always stands, so the loop never reaches the integer digits.
    while (out.view().back() == '0') out.pop_back();
    return out;
}

ReadoutText plain_text(double x) noexcept {
    if (x == 0) return ReadoutText{"0"};  // no negative zero on the readout
    std::array<char, 400> buf;            // fixed notation of any double fits in 400 characters
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed);
    if (r.ec != std::errc{}) return ReadoutText{"Error"};
    return ReadoutText{std::string_view(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()))};
}

ReadoutText general_text(double x) noexcept {
    if (!std::isfinite(x)) return ReadoutText{"Error"};
    if (x == 0) return ReadoutText{"0"};
    Decimal d = rounded_decimal(std::fabs(x), 15);
    ReadoutText out;
    if (x < 0) out.push_back('-');
    int exponent = d.point - 1;
    if (exponent >= 15 || exponent < -4) {
        out.push_back(d.digits[0]);
        if (d.count > 1) {
            out.push_back('.');
            out.append({d.digits.data() + 1, static_cast<std::size_t>(d.count - 1)});
        }
        out.append(exponent < 0 ? "E-" : "E+");
        int e = exponent < 0 ? -exponent : exponent;
        if (e >= 100) out.push_back(static_cast<char>('0' + e / 100));
        out.push_back(static_cast<char>('0' + e / 10 % 10));
        out.push_back(static_cast<char>('0' + e % 10));
        return out;
    }
    if (d.point <= 0) {
        out.append("0.");
        for (int i = d.point; i < 0; ++i) out.push_back('0');
        out.append({d.digits.data(), static_cast<std::size_t>(d.count)});
        return out;
    }
    for (int i = 0; i < d.point; ++i) out.push_back(i < d.count ? d.digits[i] : '0');
    if (d.count > d.point) {
        out.push_back('.');
        out.append({d.digits.data() + d.point, static_cast<std::size_t>(d.count - d.point)});
    }
    return out;
}

}  // namespace z5calc
