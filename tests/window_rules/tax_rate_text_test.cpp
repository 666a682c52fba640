#include "rounding_text.h"
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

TEST(RoundingText, MarkAndWordsForEachSetting) {
    const struct {
        ResultRounding rounding;
        const wchar_t* mark;
        const wchar_t* text;
    } rows[] = {
        {{-1, ResultRule::Cut}, L"", L"結果は端数処理なし"},
        {{0, ResultRule::Cut}, L"0桁↓", L"結果を整数に切捨"},
        {{2, ResultRule::Up}, L"2桁↑", L"結果を小数2桁に切上"},
        {{4, ResultRule::HalfUp}, L"4桁5/4", L"結果を小数4桁に四捨五入"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(rounding_mark(row.rounding), row.mark) << int{row.rounding.decimals};
        EXPECT_EQ(rounding_text(row.rounding), row.text) << int{row.rounding.decimals};
    }
}

}  // namespace
}  // namespace z5calc
