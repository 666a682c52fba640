#include "tax_rate_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace z5calc {
namespace {

TEST(TaxRateText, PercentAsPeopleWriteIt) {
    struct Case {
        double rate;
        const wchar_t* text;
    };
    for (const Case& c :
         {Case{0.1, L"10%"}, Case{0.08, L"8%"}, Case{0.075, L"7.5%"}, Case{0, L"0%"},
          Case{0.0801, L"8%"}, Case{10, L"1000%"}, Case{-0.01, L"?%"}, Case{10.001, L"?%"},
          Case{std::numeric_limits<double>::quiet_NaN(), L"?%"}}) {
        EXPECT_EQ(percent_text(c.rate), c.text) << c.rate;
    }
    EXPECT_EQ(reduced_rate_mark(0.08),
              L"\u8EFD"
              L"8%");
}

}  // namespace
}  // namespace z5calc
