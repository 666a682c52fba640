#include "clipboard_text.h"

#include <string>

#include <gtest/gtest.h>

#include "key_runner.h"

namespace z5calc {
namespace {

using testing::KeyRunner;

TEST(CopiedText, IsTheReadoutsNumberWithoutSeparators) {
    struct Case {
        const char* readout;
        std::optional<std::string> text;
    };
    for (const Case& c :
         {Case{"3,600.", "3600"}, Case{"-0.5", "-0.5"}, Case{"0.", "0"},
          Case{"123,456,789.12", "123456789.12"}, Case{"-20,297,410.", "-20297410"},
          Case{"0.000000001", "0.000000001"}, Case{"Error", std::nullopt}, Case{"-", std::nullopt},
          Case{".", std::nullopt}, Case{"", std::nullopt}}) {
        EXPECT_EQ(copied_text(c.readout), c.text) << c.readout;
    }
}

TEST(PastedNumber, AcceptsTheFormsPeopleCopy) {
    struct Case {
        const wchar_t* text;
        double value;
    };
    const Case cases[] = {
        {L"3600", 3600},
        {L"-0.5", -0.5},
        {L"+12", 12},
        {L"1,234,567.89", 1234567.89},
        {L"1234567.89", 1234567.89},
        {L"  42  ", 42},
        {L"\t7\r\n", 7},
        {L"\u00A51,200", 1200},  // ¥1,200
        {L"\uFFE5980", 980},     // ￥980
        {L"$-5.25", -5.25},
        {L"-$5.25", -5.25},
        {L"\u20AC 10", 10},     // € 10
        {L"\u00A399.5", 99.5},  // £99.5
        {L"1,200=", 1200},
        {L"1,234\u5186", 1234},                           // 1,234円
        {L"\uFF11\uFF0C\uFF12\uFF13\uFF14\u5186", 1234},  // １，２３４円
        {L"\u00A51,234-", 1234},                          // ¥1,234-
        {L"-\u00A5500-", -500},                           // a minus before, the dash after
        {L" 980 \u5186 ", 980},
        {L"15 =", 15},
        {L"\uFF11\uFF12\uFF13\uFF14\uFF0E\uFF15", 1234.5},  // １２３４．５
        {L"\uFF0D\uFF17", -7},                              // －７
        {L"\uFF11\uFF0C\uFF10\uFF10\uFF10", 1000},          // １，０００
        {L"\u3000\uFF18\uFF1D", 8},                         // ideographic space, ８＝
        {L"\u22123", -3},                                   // the minus sign
        {L".5", 0.5},
        {L"5.", 5},
        {L"0", 0},
        {L"123,456.", 123456},
        {L"1234567890123", 1234567890123.0},  // a number, if beyond the readout
    };
    for (const Case& c : cases) {
        const std::optional<double> v = pasted_number(c.text);
        ASSERT_TRUE(v.has_value()) << std::wstring(c.text).size();
        EXPECT_DOUBLE_EQ(*v, c.value);
    }
}

TEST(PastedNumber, RefusesEverythingElse) {
    const std::wstring longDigits(kPasteLimit + 1, L'1');
    const std::wstring longSpaces = std::wstring(kPasteLimit - 1, L' ') + L"12";
    for (const std::wstring& text : {std::wstring(L""),
                                     std::wstring(L"   "),
                                     std::wstring(L"abc"),
                                     std::wstring(L"12a"),
                                     std::wstring(L"1.2.3"),
                                     std::wstring(L"1,23"),
                                     std::wstring(L"12,3456"),
                                     std::wstring(L"1234,567"),
                                     std::wstring(L",123"),
                                     std::wstring(L"1,,234"),
                                     std::wstring(L"1,234,56.7"),
                                     std::wstring(L"0.1,234"),
                                     std::wstring(L"0,123"),
                                     std::wstring(L"-000,000"),
                                     std::wstring(L"--5"),
                                     std::wstring(L"+-5"),
                                     std::wstring(L"$$5"),
                                     std::wstring(L"5-"),
                                     std::wstring(L"\u51865"),        // 円 before the amount
                                     std::wstring(L"5\u5186\u5186"),  // twice
                                     std::wstring(L"\u00A55--"),
                                     std::wstring(L"\u00A5-"),
                                     std::wstring(L"5$"),
                                     std::wstring(L"=5"),
                                     std::wstring(L"5=="),
                                     std::wstring(L"1 2"),
                                     std::wstring(L"-"),
                                     std::wstring(L"."),
                                     std::wstring(L"$"),
                                     std::wstring(L"1e5"),
                                     std::wstring(L"inf"),
                                     std::wstring(L"nan"),
                                     std::wstring(L"0x10"),
                                     std::wstring(L"\u00D75"),
                                     longDigits,
                                     longSpaces}) {
        EXPECT_FALSE(pasted_number(text).has_value()) << text.size();
    }
    // Exactly at the limit is still read.
    EXPECT_TRUE(pasted_number(std::wstring(kPasteLimit - 2, L' ') + L"12").has_value());
}

// A pasted value does whatever MR does with that value in memory, whatever came before and after.
TEST(Paste, ActsAsTheMemoryRecallOfThatValue) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {{"AC", "+ 1 ="},   {"AC 5 +", "="},     {"AC 5 +", "X 2 ="},
                          {"AC 1 2", "="},   {"AC 7 X", "%"},     {"AC 9 -", "taxin"},
                          {"AC 4 /", "2 ="}, {"AC", "INV + 1 ="}, {"AC 1 .", "5 ="}};
    for (double value : {3600.0, -0.25, 0.0}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.before) + " [" + std::to_string(value) + "] " + c.after);
            KeyRunner pasted, recalled;
            recalled.calc.state().mem = value;
            pasted.calc.state().mem = value;
            pasted.keys(c.before);
            recalled.keys(c.before);
            ASSERT_TRUE(pasted.calc.paste(value));
            recalled.keys("MR");
            EXPECT_EQ(pasted.readout(), recalled.readout());
            pasted.keys(c.after);
            recalled.keys(c.after);
            EXPECT_EQ(pasted.readout(), recalled.readout());
            EXPECT_EQ(pasted.state().Numops, recalled.state().Numops);
            EXPECT_EQ(pasted.state().LastInput, recalled.state().LastInput);
            EXPECT_EQ(pasted.beeps, recalled.beeps);
        }
    }
    KeyRunner run;
    run.keys("AC 5 +");
    ASSERT_TRUE(run.calc.paste(3600));
    EXPECT_EQ(run.readout(), "3,600.");
}

TEST(Paste, BeyondTheDisplayBeepsAndChangesNothing) {
    KeyRunner run;
    run.keys("AC 1 2 +");
    const CalcState before = run.state();
    for (double v : {1e9, -1e9, 1234567890123.0}) EXPECT_FALSE(run.calc.paste(v));
    EXPECT_EQ(run.beeps, 3);
    EXPECT_EQ(run.readout(), "12.");
    EXPECT_EQ(run.state().Numops, before.Numops);
    EXPECT_EQ(run.state().LastInput, before.LastInput);
    ASSERT_TRUE(run.calc.paste(-0.25));
    EXPECT_EQ(run.readout(), "-0.25");
}

}  // namespace
}  // namespace z5calc
