#include <cmath>
#include <limits>

#include "engine/key_runner.h"

namespace z5calc::testing {
namespace {

struct OpenCase {
    double value;
    const char* keys;
    const char* readout;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.value << ": " << c.keys;
}

class Reopen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(Reopen, StartingValueIsThePendingResult) {
    const OpenCase& c = GetParam();
    KeyRunner run;
    ASSERT_TRUE(run.calc.open(c.value, 0));
    run.keys(c.keys);
    EXPECT_EQ(run.readout(), c.readout) << c.value << ": " << c.keys;
}

INSTANTIATE_TEST_SUITE_P(
    Values, Reopen,
    ::testing::Values(
        OpenCase{0, "", "0."}, OpenCase{1500, "", "1500."}, OpenCase{-3, "", "-3."},
        OpenCase{12.5, "", "12.5"}, OpenCase{1234.5, "", "1234.5"}, OpenCase{0.1 + 0.2, "", "0.3"},
        OpenCase{1e15, "", "1E+15."}, OpenCase{1.5e-5, "", "1.5E-05"},
        OpenCase{1500, "- 5 0 0 =", "1,000."}, OpenCase{1500, "2 +", "2."},
        OpenCase{1500, "X 2 =", "3,000."}, OpenCase{1500, "=", "1500."},
        OpenCase{1500, "+ =", "1500."}, OpenCase{1500, "-", "1500."},
        OpenCase{1500, "INV", "-1,500."}, OpenCase{1500, ".", "0."}, OpenCase{1500, "BS", "150."},
        OpenCase{12.5, "BS", "12."}, OpenCase{1500, "5", "5."},
        OpenCase{1500000000, "", "1500000000."}, OpenCase{1500000000, "+ 1 =", "Error"},
        // an opening value in exponent form is no number: keys that need one beep,
        // backspace clears it to zero (never shortens its exponent), as it does
        // a value that keeps too many whole digits
        OpenCase{1e15, "+", "1E+15."}, OpenCase{1e15, "BS", "0."}, OpenCase{1.5e-5, "BS", "0."},
        OpenCase{5e-324, "BS BS", "0."}, OpenCase{1234567890123, "BS", "0."},
        OpenCase{1500000000, "BS", "150,000,000."}, OpenCase{1e15, "7", "7."}));

TEST(Reopen, SetsPendingStateAndKeepsTheRest) {
    KeyRunner run;
    run.keys("AC 7 MP 3 X 4 .");
    CalcState before = run.state();
    ASSERT_TRUE(run.calc.open(250, 1000));
    const CalcState& s = run.state();
    EXPECT_EQ(s.LastInput, InputKind::Ops);
    EXPECT_EQ(input_kind_text(s.LastInput), "OPS");
    EXPECT_EQ(s.Opflag, '=');
    EXPECT_EQ(s.Numops, 1);
    EXPECT_EQ(s.mmax, 1000);
    EXPECT_EQ(s.Op1, before.Op1);
    EXPECT_EQ(s.Op2, before.Op2);
    EXPECT_EQ(s.decimalflag, before.decimalflag);
    EXPECT_EQ(s.mem, 7);
    run.keys("MR");
    EXPECT_EQ(run.readout(), "7.");
}

TEST(Reopen, NonFiniteValueIsRefusedAndChangesNothing) {
    for (double value : {std::nan(""), std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity()}) {
        KeyRunner run;
        run.keys("AC 4 2");
        EXPECT_FALSE(run.calc.open(value, 0));
        EXPECT_EQ(run.readout(), "42.");
        EXPECT_EQ(run.state().LastInput, InputKind::Nums);
    }
}

}  // namespace
}  // namespace z5calc::testing
