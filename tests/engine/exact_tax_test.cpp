#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "exact_rounding.h"
#include "key_runner.h"
#include "number_text.h"

namespace z5calc {
namespace {

using testing::KeyRunner;

// The tax keys on every whole-yen price from 1 to 100,000, at 10 % and 8 %, in every mode,
// against the result computed with integers as on paper.
TEST(ExactTax, EveryWholeYenPriceAsOnPaper) {
    const char* const kKeys[] = {"taxin", "taxout", "tax"};
    for (const std::int64_t perMille : {100, 80}) {
        for (std::int16_t mode = 0; mode <= 4; ++mode) {
            for (int key = 0; key < 3; ++key) {
                KeyRunner r;
                r.calc.set_tax(static_cast<double>(perMille) / 1000, mode);
                const bool removing = key == kTaxOut;
                const int rule = removing ^ mode;
                int wrong = 0;
                for (std::int64_t price = 1; price <= 100'000; ++price) {
                    const std::int64_t num = price * (key == kTaxIn    ? 1000 + perMille
                                                      : key == kTaxOut ? 1000
                                                                       : perMille);
                    const std::int64_t den = key == kTaxOut ? 1000 + perMille : 1000;
                    const std::int64_t down = num / den, up = (num + den - 1) / den,
                                       half = (2 * num + den) / (2 * den);
                    const double paper = rule == 0   ? static_cast<double>(down)
                                         : rule == 1 ? static_cast<double>(up)
                                         : rule < 4  ? static_cast<double>(half)
                                                     : static_cast<double>(num) / den;
                    r.calc.open(static_cast<double>(price), 0);
                    r.press(kKeys[key]);
                    if (r.calc.readout() != display_text(paper).view()) ++wrong;
                }
                EXPECT_EQ(wrong, 0)
                    << kKeys[key] << " at " << perMille << " per mille, mode " << mode;
            }
        }
    }
}

// Decimal and negative prices, and the rounding itself.
TEST(ExactTax, DecimalAndNegativePrices) {
    struct Case {
        const char* keys;
        double rate;
        std::int16_t mode;
        const char* readout;
    };
    for (const Case& c : {
             Case{"1 0 0 taxin", 0.1, 1, "110."},         // 100 × 1.1 is 110, not 111
             Case{"9 . 9 9 9 7 3 taxin", 0.1, 0, "10."},  // 10.999703 rounded down
             Case{"1 9 . 9 9 7 tax", 0.1, 0, "1."},       // 1.9997 rounded down
             Case{"2 2 5 taxin", 0.08, 1, "243."},        // 243 exactly
             Case{"1 0 0 INV taxin", 0.1, 0, "-110."},    // negative prices
             Case{"1 0 5 INV taxin", 0.1, 0, "-116."},    // -115.5 down is -116
             Case{"1 0 5 INV taxin", 0.1, 1, "-115."},    // and up is -115
             Case{"1 0 5 INV taxin", 0.1, 2, "-115."},    // a half goes up
             Case{"1 . 0 5 taxin", 0.1, 4, "1.155"},      // not rounded
         }) {
        KeyRunner r;
        r.calc.set_tax(c.rate, c.mode);
        r.keys(c.keys);
        EXPECT_EQ(r.readout(), c.readout) << c.keys << " mode " << c.mode;
    }
    EXPECT_EQ(rounded_quotient(1234, 100, 1, Rounding::HalfUp), 12.3);
    EXPECT_EQ(rounded_quotient(-1235, 100, 1, Rounding::HalfUp), -12.3);
    EXPECT_EQ(rounded_quotient(1, 0, 0, Rounding::Down), std::nullopt);
    EXPECT_EQ(rounded_quotient(INT64_MAX / 2, 1, 1, Rounding::Down), std::nullopt);
    EXPECT_EQ(exact_decimal("4.94065645841247E-324"), std::nullopt);
    EXPECT_EQ(exact_decimal("Error"), std::nullopt);
}

}  // namespace
}  // namespace z5calc
