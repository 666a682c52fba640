#include "number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "decimal_digits.h"
#include "decimal_read.h"

namespace z5calc {

namespace {

void append_grouped(ReadoutText& out, std::uint64_t value) noexcept {
    std::array<char, 24> digits;
    auto r = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    auto n = static_cast<int>(r.ptr - digits.data());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
}

// The digits in fixed notation: "0.00123", "1230", "12.3".
void append_fixed(ReadoutText& out, const Decimal& d) noexcept {
    if (d.point <= 0) {
        out.append("0.");
        for (int i = d.point; i < 0; ++i) out.push_back('0');
        out.append({d.digits.data(), static_cast<std::size_t>(d.count)});
        return;
    }
    for (int i = 0; i < d.point; ++i) out.push_back(i < d.count ? d.digits[i] : '0');
    if (d.count > d.point) {
        out.push_back('.');
        out.append({d.digits.data() + d.point, static_cast<std::size_t>(d.count - d.point)});
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
    // A digits-only text always reads; out-of-range exponents cannot occur in 31 characters.
    const DecimalRead r = read_decimal({buf.data(), n});
    if (r.status != DecimalRead::Status::Ok) return std::nullopt;
    return r.value;
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
    if (std::isnan(x)) return ReadoutText{std::signbit(x) ? "-nan" : "nan"};
    if (std::isinf(x)) return ReadoutText{x < 0 ? "-inf" : "inf"};
    ReadoutText out;
    if (x < 0) out.push_back('-');
    // Fixed notation runs to hundreds of digits for some doubles: the text keeps what fits.
    // Where the shortest digits make a whole number, the number's own digits are written, as
    // printf's "%.0f" does (1e23 is 99999999999999991611392).
    const Decimal d = shortest_decimal(std::fabs(x));
    if (d.point < d.count) {
        append_fixed(out, d);
        return out;
    }
    std::array<char, 310> digits;
    const int count = whole_digits(std::fabs(x), digits);
    out.append({digits.data(), static_cast<std::size_t>(count)});
    return out;
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
    append_fixed(out, d);
    return out;
}

}  // namespace z5calc
