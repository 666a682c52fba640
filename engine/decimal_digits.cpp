#include "decimal_digits.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "big_int.h"
#include "decimal_read.h"

// Exact binary-to-decimal conversion with a small big integer, in place of the standard
// library's floating-point to_chars: its tables are most of the component's code size, and a
// calculator converts one number per key.
namespace z5calc {

namespace {

// Enough for the largest values it holds: m * 5^341 (a subnormal scaled up, 845 bits) and
// m * 2^971 (the largest double, 1,024 bits), with a word to shift into.
using Big = BigInt<34>;

// floor(magnitude * 10^scale) with 18 or 19 digits, and whether anything was cut off.
struct Prefix {
    std::uint64_t digits = 0;
    int scale = 0;
    bool inexact = false;
};

// magnitude = m * 2^e exactly.
struct Binary {
    std::uint64_t m = 0;
    int e = 0;
};

Binary binary_of(double magnitude) noexcept {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased == 0) return {fraction, -1074};
    return {fraction | std::uint64_t{1} << 52, biased - 1075};
}

Prefix exact_prefix(double magnitude) noexcept {
    const auto [m, e] = binary_of(magnitude);
    // magnitude lies in [2^(top), 2^(top+1)); floor(top * log10(2)) is its decimal exponent or
    // one less (78913 / 2^18 is log10(2) to within what |top| < 1,100 needs).
    const int top = e + 63 - std::countl_zero(m);
    const int exponent = (top * 78913) >> 18;
    Prefix p;
    p.scale = 17 - exponent;  // so that 10^17 <= digits < 10^19
    Big n(m);
    if (p.scale >= 0) {
        n.multiply_pow5(p.scale);
        const int shift = e + p.scale;
        if (shift >= 0) {
            n.shift_left(shift);
        } else {
            p.inexact = n.shift_right(-shift);
        }
    } else {
        // magnitude >= 10^18, so e > 0: a whole number, divided by 2^-scale and 5^-scale.
        n.shift_left(e);
        p.inexact = n.shift_right(-p.scale);
        p.inexact |= n.divide_pow5(-p.scale);
    }
    p.digits = n.low64();
    return p;
}

// The digits of a prefix and their decimal point, all of them (18 or 19).
Decimal decimal_of(const Prefix& p) noexcept {
    Decimal d;
    auto r = std::to_chars(d.digits.data(), d.digits.data() + d.digits.size(), p.digits);
    d.count = static_cast<int>(r.ptr - d.digits.data());
    d.point = d.count - p.scale;
    return d;
}

void drop_trailing_zeros(Decimal& d) noexcept {
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
}

// Keeps the first `count` digits and adds one in the last of them.
void round_up(Decimal& d, int count) noexcept {
    d.count = count;
    int i = count - 1;
    for (; i >= 0 && d.digits[i] == '9'; --i) d.digits[i] = '0';
    if (i >= 0) {
        ++d.digits[i];
        return;
    }
    d.digits[0] = '1';  // 99.9 became 100
    ++d.point;
}

// -1, 0 or 1 as the digits after the first `count` (and the cut-off rest) are below, at or
// above one half of the last kept digit.
int tail_against_half(const Decimal& d, int count, bool inexact) noexcept {
    if (d.digits[count] != '5') return d.digits[count] < '5' ? -1 : 1;
    for (int i = count + 1; i < d.count; ++i) {
        if (d.digits[i] != '0') return 1;
    }
    return inexact ? 1 : 0;
}

Decimal rounded(const Decimal& all, int count, bool inexact) noexcept {
    Decimal d = all;
    const int tail = tail_against_half(all, count, inexact);
    const bool odd = (all.digits[count - 1] - '0') % 2 != 0;
    if (tail > 0 || (tail == 0 && odd)) {
        round_up(d, count);
    } else {
        d.count = count;
    }
    drop_trailing_zeros(d);
    return d;
}

bool reads_back_as(const Decimal& d, double magnitude) noexcept {
    std::array<char, 32> text;
    std::memcpy(text.data(), d.digits.data(), static_cast<std::size_t>(d.count));
    char* end = text.data() + d.count;
    *end++ = 'e';
    end = std::to_chars(end, text.data() + text.size(), d.point - d.count).ptr;
    const DecimalRead r = read_decimal({text.data(), static_cast<std::size_t>(end - text.data())});
    return r.status == DecimalRead::Status::Ok && r.value == magnitude;
}

}  // namespace

Decimal rounded_decimal(double magnitude, int significant) noexcept {
    const Prefix p = exact_prefix(magnitude);
    return rounded(decimal_of(p), significant, p.inexact);
}

Decimal shortest_decimal(double magnitude) noexcept {
    const Prefix p = exact_prefix(magnitude);
    const Decimal all = decimal_of(p);
    // Of the digits that read back, the nearest: at each length only the two neighbours of
    // the magnitude can be (a third is farther than one of them).
    for (int count = 1; count < 17; ++count) {
        Decimal down = all;
        down.count = count;
        Decimal up = all;
        round_up(up, count);
        const bool down_reads = reads_back_as(down, magnitude);
        const bool up_reads = reads_back_as(up, magnitude);
        if (!down_reads && !up_reads) continue;
        const int tail = tail_against_half(all, count, p.inexact);
        Decimal d = !up_reads || (down_reads && tail < 0) ? down : up;
        if (down_reads && up_reads && tail == 0) d = rounded(all, count, p.inexact);
        drop_trailing_zeros(d);
        return d;
    }
    return rounded(all, 17, p.inexact);
}

int whole_digits(double whole, std::array<char, 310>& out) noexcept {
    const auto [m, e] = binary_of(whole);
    Big n(m);
    if (e >= 0) {
        n.shift_left(e);
    } else {
        n.shift_right(-e);
    }
    // Nine digits at a time, the lowest first.
    std::array<std::uint32_t, 35> groups{};
    int count = 0;
    do {
        groups[count++] = n.divide(1'000'000'000);
    } while (!n.is_zero());
    auto r = std::to_chars(out.data(), out.data() + out.size(), groups[count - 1]);
    char* next = r.ptr;
    for (int i = count - 2; i >= 0; --i) {
        for (int k = 8; k >= 0; --k, groups[i] /= 10)
            next[k] = static_cast<char>('0' + groups[i] % 10);
        next += 9;
    }
    return static_cast<int>(next - out.data());
}

}  // namespace z5calc
