#include "decimal_read.h"

#include <charconv>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace z5calc {
namespace {

// What std::from_chars makes of the text, in the same terms.
DecimalRead library_read(const std::string& text) {
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec == std::errc::result_out_of_range) return {DecimalRead::Status::OutOfRange, 0};
    if (r.ec != std::errc{} || r.ptr != text.data() + text.size()) return {};
    return {DecimalRead::Status::Ok, value};
}

void expect_same(const std::string& text) {
    const DecimalRead ours = read_decimal(text), theirs = library_read(text);
    ASSERT_EQ(ours.status, theirs.status) << text;
    if (ours.status == DecimalRead::Status::Ok) {
        ASSERT_EQ(std::memcmp(&ours.value, &theirs.value, sizeof(double)), 0)
            << text << " " << ours.value << " " << theirs.value;
    }
}

TEST(DecimalRead, AgreesWithTheLibraryEverywhere) {
    for (const char* text : {"0",
                             "-0",
                             "0.",
                             ".5",
                             "1.",
                             "007",
                             "1e0",
                             "1E+2",
                             "2.5e-3",
                             "1e",
                             "1e+",
                             "-",
                             ".",
                             "",
                             "1..2",
                             "1e5x",
                             "+1",
                             "1,000",
                             "9007199254740993",
                             "179769313486231570000e288",
                             "1.7976931348623159e308",
                             "4.9406564584124654e-324",
                             "2.4703282292062327e-324",
                             "2.4703282292062328e-324",
                             "1e-400",
                             "1e400",
                             "0e999999999",
                             "123456789012345678901234567890",
                             "0.000000000000000000000000000000000000001",
                             "2.2250738585072011e-308",
                             "2.2250738585072014e-308",
                             "1e23",
                             "8.98846567431158e307"}) {
        expect_same(text);
    }
    std::mt19937_64 random(36);
    char buf[400];
    for (int n = 0; n < 200000; ++n) {
        // A double's neighbourhood: its digits to 16-20 places, and the exact midpoint between
        // it and the next double, where only exact rounding gets ties right.
        double x = 0;
        const std::uint64_t bits = random();
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x) || x == 0) continue;
        const int places = 15 + static_cast<int>(random() % 6);
        auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, places);
        expect_same(std::string(buf, r.ptr));
        const long double mid =
            (static_cast<long double>(x) + std::nextafter(x, x < 0 ? -INFINITY : INFINITY)) / 2;
        r = std::to_chars(buf, buf + sizeof buf, mid, std::chars_format::scientific, 120);
        expect_same(std::string(buf, r.ptr));
        // Short decimals of every size, as typed and as a settings file holds them.
        std::string typed = std::to_string(random() % 1000000000000ull);
        typed.insert(random() % (typed.size() + 1), ".");
        expect_same(typed + "e" + std::to_string(static_cast<int>(random() % 700) - 350));
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace z5calc
