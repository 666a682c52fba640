#include <cstring>
#include <limits>

#include "engine/key_runner.h"

namespace z5calc::testing {
namespace {

struct TaxCase {
    double rate;
    std::int16_t mode;
    const char* keys;
    const char* readout;
};

void PrintTo(const TaxCase& c, std::ostream* os) {
    *os << c.keys << " rate " << c.rate << " mode " << c.mode;
}

class TaxKeys : public ::testing::TestWithParam<TaxCase> {};

TEST_P(TaxKeys, RoundByModeAndDirection) {
    const TaxCase& c = GetParam();
    KeyRunner run;
    run.calc.set_tax(c.rate, c.mode);
    run.keys("AC").keys(c.keys);
    EXPECT_EQ(run.readout(), c.readout)
        << "rate " << c.rate << " mode " << c.mode << ": " << c.keys;
    EXPECT_EQ(run.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TaxKeys,
    ::testing::Values(
        TaxCase{0.08, 0, "1 000 taxin", "1,080."}, TaxCase{0.08, 0, "1 0 8 0 taxout", "1,000."},
        TaxCase{0.08, 0, "1 000 tax", "80."}, TaxCase{0.08, 0, "9 9 9 taxin", "1,078."},
        TaxCase{0.08, 0, "1 000 taxout", "926."}, TaxCase{0.08, 1, "9 9 9 taxin", "1,079."},
        TaxCase{0.08, 1, "1 000 taxout", "925."}, TaxCase{0.08, 2, "9 9 9 taxin", "1,079."},
        TaxCase{0.08, 2, "1 000 taxout", "926."}, TaxCase{0.08, 3, "9 9 9 taxin", "1,079."},
        TaxCase{0, 2, "1 2 . 5 taxin", "13."}, TaxCase{0.08, 4, "9 9 9 taxin", "1,078.92"},
        TaxCase{0.08, 4, "1 000 taxout", "925.925925926"},
        TaxCase{0.08, -1, "9 9 9 taxin", "1,078.92"},
        TaxCase{0.08, 0, "9 9 9 INV taxin", "-1,079."},
        TaxCase{0.08, 1, "9 9 9 INV taxin", "-1,078."}, TaxCase{0, 0, "1 2 . 5 taxin", "12."},
        TaxCase{0, 0, "1 2 . 5 taxout", "13."}, TaxCase{0, 0, "1 2 . 5 tax", "0."},
        TaxCase{0.05, 0, "1 9 9 tax", "9."}, TaxCase{0.1, 0, "9 9 9 9 9 9 9 9 9 taxin", "Error"}));

// Standard 10 %, reduced 8 %: the tax keys use the active rate, and switching between them
// leaves the calculation as it was.
TEST(TaxRates, KeysUseTheActiveRateAndSwitchingKeepsTheCalculation) {
    struct Case {
        TaxRateKind kind;
        const char* keys;
        const char* readout;
    };
    for (const Case& c : {Case{TaxRateKind::Standard, "1 000 taxin", "1,100."},
                          Case{TaxRateKind::Reduced, "1 000 taxin", "1,080."},
                          Case{TaxRateKind::Reduced, "1 0 8 0 taxout", "1,000."},
                          Case{TaxRateKind::Reduced, "1 000 tax", "80."},
                          Case{TaxRateKind::Standard, "1 1 0 0 taxout", "1,000."}}) {
        KeyRunner run;
        run.calc.set_tax(0.1, 0);
        run.calc.set_reduced_tax(0.08);
        run.calc.set_tax_rate_kind(c.kind);
        run.keys("AC").keys(c.keys);
        EXPECT_EQ(run.readout(), c.readout) << c.keys;
    }
    KeyRunner run;
    run.keys("AC 2 + 3");
    const CalcState before = run.calc.state();
    run.calc.switch_tax_rate();
    EXPECT_EQ(run.calc.tax_rate_kind(), TaxRateKind::Reduced);
    EXPECT_EQ(std::memcmp(&before, &run.calc.state(), sizeof(before)), 0);
    run.calc.switch_tax_rate();
    EXPECT_EQ(run.calc.tax_rate(), 0.1);  // back to the standard rate
    EXPECT_EQ(run.keys("=").readout(), "5.");
}

TEST(TaxCheck, ToleranceOnlyForRoundingDown) {
    KeyRunner run;
    struct Case {
        std::int16_t mode;
        std::int16_t adv;
        double in;
        double out;
    };
    for (const Case& c :
         {Case{0, 0, 1079.99999999, 1080}, Case{0, 0, 1079.9995, 1079},
          Case{0, 1, 1079.00000001, 1080}, Case{0, 1, 1080, 1080}, Case{1, 1, 1079.99999999, 1080},
          Case{1, 0, -1.5, -1}, Case{2, 0, 2.5, 3}, Case{2, 1, -2.5, -2}, Case{3, 1, 2.4999, 2},
          Case{5, 0, 2.75, 2.75}, Case{-3, 0, 2.75, 2.75}}) {
        run.calc.set_tax(0.05, c.mode);
        double m = c.in;
        run.calc.tax_check(m, c.adv);
        EXPECT_EQ(m, c.out) << "mode " << c.mode << " adv " << c.adv << " in " << c.in;
    }
}

TEST(TaxKeys, ChangeOnlyTheReadout) {
    KeyRunner run;
    run.calc.set_tax(0.08, 0);
    run.keys("AC 5 + 1 000");
    CalcState before = run.state();
    run.keys("taxin");
    EXPECT_EQ(run.readout(), "1,080.");
    EXPECT_EQ(run.state().Op1, before.Op1);
    EXPECT_EQ(run.state().Numops, before.Numops);
    EXPECT_EQ(run.state().LastInput, before.LastInput);
    EXPECT_EQ(run.state().Opflag, before.Opflag);
    run.keys("=");
    EXPECT_EQ(run.readout(), "1,085.");
}

TEST(TaxKeys, RefusedOnNoNumberOrAbsurdRate) {
    struct Case {
        double rate;
        const char* keys;
        const char* readout;
    };
    for (const Case& c : {Case{0.08, "8 / 0 = taxin", "Error"}, Case{0.08, "5 + - tax", "-"},
                          Case{-1, "5 taxout", "5."},
                          Case{std::numeric_limits<double>::infinity(), "5 taxin", "5."},
                          Case{std::numeric_limits<double>::quiet_NaN(), "5 tax", "5."},
                          Case{1e308, "9 9 taxin", "99."}}) {
        KeyRunner run;
        run.calc.set_tax(c.rate, 0);
        run.keys("AC").keys(c.keys);
        EXPECT_EQ(run.readout(), c.readout) << c.keys;
        EXPECT_EQ(run.beeps, 1) << c.keys;
    }
}

struct MemCase {
    const char* keys;
    const char* readout;
    double mem;
    bool mark;
};

void PrintTo(const MemCase& c, std::ostream* os) {
    *os << c.keys;
}

class MemoryKeys : public ::testing::TestWithParam<MemCase> {};

TEST_P(MemoryKeys, RegisterAndMark) {
    const MemCase& c = GetParam();
    KeyRunner run;
    run.keys("AC").keys(c.keys);
    EXPECT_EQ(run.readout(), c.readout) << c.keys;
    EXPECT_EQ(run.state().mem, c.mem) << c.keys;
    EXPECT_EQ(run.state().memMark, c.mark) << c.keys;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, MemoryKeys,
    ::testing::Values(MemCase{"5 + 3 MP", "8.", 8, true}, MemCase{"5 MP MM", "5.", 0, false},
                      MemCase{"5 MP 2 MM", "2.", 3, true}, MemCase{"5 MM", "5.", -5, true},
                      MemCase{"5 MP MC", "5.", 0, false}, MemCase{"MC MR", "0.", 0, false},
                      MemCase{"5 MP MP MR", "10.", 10, true}, MemCase{"5 MP 1 0 MR", "5.", 5, true},
                      MemCase{"9 9 9 9 9 9 9 9 9 MP MP MR", "Error", 1999999998, true},
                      // the "=" step runs out of range: beep, memory unchanged
                      MemCase{"2 MP 9 9 9 9 9 9 9 9 9 + 1 MP", "Error", 2, true},
                      MemCase{"8 / 0 = MP", "Error", 0, false}, MemCase{"5 + - MP", "-", 0, false},
                      MemCase{"5 + 3 MM", "8.", -8, true}));

TEST(MemoryKeys, BeepsWhereRefused) {
    for (const char* keys : {"8 / 0 = MP", "5 + - MM", "2 MP 9 9 9 9 9 9 9 9 9 + 1 MP"}) {
        KeyRunner run;
        run.keys("AC").keys(keys);
        EXPECT_EQ(run.beeps, 1) << keys;
    }
}

TEST(MemoryKeys, RecallKeepsLastInput) {
    KeyRunner run;
    run.keys("AC 7 MP AC 1 2");
    run.keys("MR");
    EXPECT_EQ(run.readout(), "7.");
    EXPECT_EQ(run.state().LastInput, InputKind::Nums);
    run.keys("3");  // joins the recalled number as a typed entry would
    EXPECT_EQ(run.readout(), "73.");
    run.keys("+ MR 1");  // after an operator the next digit starts a new number
    EXPECT_EQ(run.readout(), "1.");
}

}  // namespace
}  // namespace z5calc::testing
