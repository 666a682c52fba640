#include <clocale>
#include <cmath>
#include <limits>
#include <locale>

#include "engine/key_runner.h"
#include "number_text.h"

namespace z5calc::testing {
namespace {

struct FormatCase {
    double value;
    const char* text;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.value;
}

class DisplayText : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DisplayText, FormatsValue) {
    EXPECT_EQ(display_text(GetParam().value).view(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DisplayText,
    ::testing::Values(
        FormatCase{0, "0."}, FormatCase{-0.0, "0."}, FormatCase{5, "5."},
        FormatCase{1234, "1,234."}, FormatCase{-1234.5, "-1,234.5"}, FormatCase{0.5, "0.5"},
        FormatCase{100, "100."}, FormatCase{1000, "1,000."}, FormatCase{999999, "999,999."},
        FormatCase{1000000, "1,000,000."}, FormatCase{999999999, "999,999,999."},
        FormatCase{-999999999, "-999,999,999."}, FormatCase{10.0 / 3, "3.333333333"},
        FormatCase{0.1 + 0.2, "0.3"}, FormatCase{1.0 / 3, "0.333333333"},
        FormatCase{2.0 / 3, "0.666666667"}, FormatCase{-2.0 / 3, "-0.666666667"},
        FormatCase{0.0000000004, "0."}, FormatCase{-0.0000000004, "0."},
        FormatCase{0.000000001, "0.000000001"}, FormatCase{1e-300, "0."},
        FormatCase{std::numeric_limits<double>::denorm_min(), "0."},
        // exact halves at the tenth decimal go away from zero
        FormatCase{0.0009765625, "0.000976563"}, FormatCase{-0.0009765625, "-0.000976563"},
        FormatCase{0.0000000005, "0.000000001"}, FormatCase{0.0000000025, "0.000000003"},
        FormatCase{0.9999999995, "1."}, FormatCase{999.9999999996, "1,000."},
        FormatCase{0.12345678949, "0.123456789"},
        // cut, not rounded, at 14 characters
        FormatCase{123456789.123456789, "123,456,789.12"},
        FormatCase{-123456789.56, "-123,456,789.5"}, FormatCase{12345.123456789, "12,345.1234567"},
        FormatCase{1078.92, "1,078.92"},
        // read at 15 significant digits: the binary tail of a result does not reach the cut,
        // and zeros that the cut leaves go ("." stays)
        FormatCase{9052.0 * 7833.8, "70,911,557.6"}, FormatCase{12345678.0000001, "12,345,678."},
        FormatCase{-12345678.0000001, "-12,345,678."}, FormatCase{500000.0000004, "500,000."},
        FormatCase{123456789.1, "123,456,789.1"}, FormatCase{0.1 * 3 * 10000000, "3,000,000."},
        // shortest texts of 16 and 17 digits, with 7, 8 and 9 integer digits
        FormatCase{37277.0 * 223.2, "8,320,226.4"}, FormatCase{2065.55 * 3160.0, "6,527,138."},
        FormatCase{2983.0 * 2370.07, "7,069,918.81"}, FormatCase{770.4 * 4840.9, "3,729,429.36"},
        FormatCase{18690.92 * 3125.0, "58,409,125."},
        FormatCase{4.35 * 100 * 100000, "43,500,000."},
        FormatCase{3138.7 * 9713.3, "30,487,134.71"},
        FormatCase{-3138.7 * 9713.3, "-30,487,134.71"},
        FormatCase{58938.0 * 9632.1, "567,696,709.8"},
        FormatCase{93929.9 * 9798.0, "920,325,160.2"},
        FormatCase{31383.4 * 8965.8, "281,377,287.72"},
        FormatCase{37675.368 * 6438.6, "242,576,624.4"}));

TEST(DisplayRange, BoundsAndNaN) {
    EXPECT_TRUE(in_display_range(999999999));
    EXPECT_TRUE(in_display_range(-999999999));
    EXPECT_FALSE(in_display_range(999999999.5));
    EXPECT_FALSE(in_display_range(-999999999.5));
    EXPECT_FALSE(in_display_range(1e9));
    EXPECT_FALSE(in_display_range(std::nan("")));
    EXPECT_FALSE(in_display_range(std::numeric_limits<double>::infinity()));
}

TEST(ShowNumber, OutOfRangeShowsErrorAndResetsTheCalculation) {
    for (double value :
         {1e9, -999999999.5, std::nan(""), -std::numeric_limits<double>::infinity()}) {
        KeyRunner run;
        run.keys("AC 5 + 3");
        run.calc.show_number(value);
        EXPECT_EQ(run.readout(), "Error") << value;
        EXPECT_EQ(run.state().Numops, 0);
        EXPECT_EQ(run.state().Opflag, ' ');
        EXPECT_EQ(run.state().LastInput, InputKind::Lost);
        EXPECT_EQ(input_kind_text(run.state().LastInput), " ");
    }
}

struct ReadCase {
    const char* text;
    std::optional<double> value;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ReadNumber : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumber, ReadsByTheReadoutRule) {
    auto value = read_number(GetParam().text);
    ASSERT_EQ(value.has_value(), GetParam().value.has_value()) << GetParam().text;
    if (value) {
        EXPECT_EQ(*value, *GetParam().value) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumber,
    ::testing::Values(ReadCase{"1,234.", 1234}, ReadCase{"12,34.", 1234}, ReadCase{"-0.", -0.0},
                      ReadCase{"0.5", 0.5}, ReadCase{"-1234.5", -1234.5}, ReadCase{"5", 5},
                      ReadCase{".5", 0.5}, ReadCase{"-.5", -0.5}, ReadCase{",,1,", 1},
                      ReadCase{"0.", 0}, ReadCase{"123,456,789.12", 123456789.12},
                      ReadCase{"1500.", 1500}, ReadCase{"Error", std::nullopt},
                      ReadCase{"-", std::nullopt}, ReadCase{".", std::nullopt},
                      ReadCase{"", std::nullopt}, ReadCase{",", std::nullopt},
                      ReadCase{"-.", std::nullopt}, ReadCase{"1.2.3", std::nullopt},
                      ReadCase{"--5", std::nullopt}, ReadCase{"5-", std::nullopt},
                      ReadCase{"+5", std::nullopt}, ReadCase{"1e5", std::nullopt},
                      ReadCase{"1E+15.", std::nullopt}, ReadCase{" 5", std::nullopt},
                      ReadCase{"Error5", std::nullopt}, ReadCase{"inf", std::nullopt},
                      ReadCase{"0x10", std::nullopt},
                      ReadCase{"1234567890123456789012345678901234567890", std::nullopt}));

TEST(PlainText, NoSeparatorsNoTrailingPoint) {
    struct Case {
        double value;
        const char* text;
    };
    for (const Case& c : {Case{-1234.5, "-1234.5"}, Case{7, "7"}, Case{-7, "-7"}, Case{0, "0"},
                          Case{-0.0, "0"}, Case{0.5, "0.5"}, Case{-123456789.12, "-123456789.12"},
                          Case{0.0000000005, "0.0000000005"}, Case{1e14, "100000000000000"}}) {
        EXPECT_EQ(plain_text(c.value).view(), c.text) << c.value;
    }
}

TEST(GeneralText, FifteenDigitsExponentFromE15) {
    struct Case {
        double value;
        const char* text;
    };
    for (const Case& c : {Case{0, "0"},
                          Case{-0.0, "0"},
                          Case{1500, "1500"},
                          Case{-3, "-3"},
                          Case{12.5, "12.5"},
                          Case{99999999, "99999999"},
                          Case{1000, "1000"},
                          Case{0.1 + 0.2, "0.3"},
                          Case{1.0 / 3, "0.333333333333333"},
                          Case{2.0 / 3, "0.666666666666667"},
                          Case{123456789012345, "123456789012345"},
                          Case{999999999999999, "999999999999999"},
                          Case{1e15, "1E+15"},
                          Case{1.5e15, "1.5E+15"},
                          Case{-2.5e20, "-2.5E+20"},
                          Case{9999999999999999.0, "1E+16"},
                          Case{1e100, "1E+100"},
                          Case{0.0001, "0.0001"},
                          Case{0.00012, "0.00012"},
                          Case{0.00001, "1E-05"},
                          Case{1.5e-5, "1.5E-05"},
                          Case{1e-300, "1E-300"},
                          Case{1234.5678, "1234.5678"},
                          Case{std::numeric_limits<double>::max(), "1.79769313486232E+308"},
                          Case{-std::numeric_limits<double>::max(), "-1.79769313486232E+308"},
                          Case{std::numeric_limits<double>::infinity(), "Error"},
                          Case{std::nan(""), "Error"}}) {
        EXPECT_EQ(general_text(c.value).view(), c.text) << c.value;
    }
}

// A numpunct that would group with "." and use "," as the decimal point, as many locales do.
class CommaDecimal : public std::numpunct<char> {
  protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(Locale, TextIsTheSameUnderAGermanLocale) {
    std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing: run tools/bootstrap.sh";
    std::locale saved_global = std::locale::global(std::locale(std::locale(), new CommaDecimal));
    ASSERT_EQ(std::localeconv()->decimal_point[0], ',');

    EXPECT_EQ(display_text(-1234.5).view(), "-1,234.5");
    EXPECT_EQ(display_text(10.0 / 3).view(), "3.333333333");
    EXPECT_EQ(read_number("1,234.5"), 1234.5);
    EXPECT_EQ(general_text(0.5).view(), "0.5");
    EXPECT_EQ(plain_text(-1234.5).view(), "-1234.5");
    EXPECT_EQ(readout_after("1 2 3 4 . 5 + 1 ="), "1,235.5");
    KeyRunner run;
    run.calc.open(12.5, 0);
    EXPECT_EQ(run.readout(), "12.5");

    std::locale::global(saved_global);
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace z5calc::testing
