// The engine's own decimal conversion against the standard library's (Ryu), which it replaces
// in the component: the same digits for every kind of double.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "decimal_digits.h"
#include "number_text.h"

namespace z5calc {
namespace {

// "d.ddde±XX" with the trailing zeros of the digits dropped, as digits and point.
std::string library_rounded(double x, int significant) {
    char buf[64];
    auto r =
        std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, significant - 1);
    std::string text(buf, r.ptr);
    const auto e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return digits + "@" + std::to_string(std::stoi(text.substr(e + 1)) + 1);
}

std::string library_shortest(double x) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    std::string text(buf, r.ptr);
    const auto e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.') digits += c;
    return digits + "@" + std::to_string(std::stoi(text.substr(e + 1)) + 1);
}

std::string ours(const Decimal& d) {
    return std::string(d.digits.data(), static_cast<std::size_t>(d.count)) + "@" +
           std::to_string(d.point);
}

// Every class of double: random bits, whole numbers, exact binary fractions (exact halves of
// a last digit), decimals as a user types them, powers of two and ten, the extremes.
std::vector<double> sample() {
    std::mt19937_64 rng(20261209);
    std::vector<double> values = {std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  0.5,
                                  2.5,
                                  1234567890123.125,
                                  0.000000001,
                                  9007199254740993.0,
                                  5e-324,
                                  1e23,
                                  70911557.60000001};
    for (int e = -1074; e <= 1023; ++e) values.push_back(std::ldexp(1.0, e));
    for (int e = -323; e <= 308; ++e)
        values.push_back(std::strtod(("1e" + std::to_string(e)).c_str(), nullptr));
    for (int i = 0; i < 40000; ++i) {
        double x = std::bit_cast<double>(rng() & 0x7FFF'FFFF'FFFF'FFFF);
        if (std::isfinite(x) && x > 0) values.push_back(x);
        values.push_back(static_cast<double>(rng() >> (rng() % 64)) + 1);
        values.push_back(
            std::ldexp(static_cast<double>(rng() >> 11), -static_cast<int>(rng() % 80)));
        values.push_back(static_cast<double>(rng() % 100000000000000) / std::pow(10, rng() % 16));
    }
    std::erase_if(values, [](double x) { return !(x > 0) || !std::isfinite(x); });
    return values;
}

TEST(DecimalDigits, RoundedAndShortestEqualTheLibrarysForEveryKindOfDouble) {
    int compared = 0;
    for (double x : sample()) {
        for (int significant : {1, 2, 8, 15, 16, 17}) {
            ASSERT_EQ(ours(rounded_decimal(x, significant)), library_rounded(x, significant))
                << std::hexfloat << x << " at " << significant;
        }
        ASSERT_EQ(ours(shortest_decimal(x)), library_shortest(x)) << std::hexfloat << x;
        ++compared;
    }
    EXPECT_GT(compared, 150000);
}

TEST(DecimalDigits, PlainTextEqualsTheLibrarysFixedFormCutToTheReadout) {
    for (double x : sample()) {
        for (double signed_x : {x, -x}) {
            char buf[400];
            auto r = std::to_chars(buf, buf + sizeof buf, signed_x, std::chars_format::fixed);
            ASSERT_EQ(plain_text(signed_x).view(), ReadoutText(std::string_view(buf, r.ptr)).view())
                << std::hexfloat << signed_x;
        }
    }
}

}  // namespace
}  // namespace z5calc
