#include "engine/key_runner.h"

namespace z5calc::testing {
namespace {

class OperatorReadout : public ::testing::TestWithParam<KeysCase> {};

TEST_P(OperatorReadout, KeysGiveReadout) {
    EXPECT_EQ(readout_after(GetParam().keys), GetParam().readout) << "keys: " << GetParam().keys;
}

INSTANTIATE_TEST_SUITE_P(
    Chains, OperatorReadout,
    ::testing::Values(
        KeysCase{"5 + 3 =", "8."}, KeysCase{"5 + 3 = =", "8."}, KeysCase{"2 + 3 X", "5."},
        KeysCase{"2 + 3 X 4 =", "20."}, KeysCase{"5 + =", "5."}, KeysCase{"5 + = 3 =", "3."},
        KeysCase{"5 + X 3 =", "15."}, KeysCase{"9 - 1 2 =", "-3."}, KeysCase{"7 / 2 =", "3.5"},
        KeysCase{"1 0 / 3 =", "3.333333333"}, KeysCase{"2 / 3 =", "0.666666667"},
        KeysCase{"1 / 3 X 3 =", "1."}, KeysCase{"1 / 3 = X 3 =", "0.999999999"},
        KeysCase{". 1 + . 2 =", "0.3"}, KeysCase{"5 + CE =", "5."}, KeysCase{"5 + CE 2 =", "7."},
        KeysCase{"5 + 3 AC =", "0."}, KeysCase{"1 2 3 4 5 X 1 0 0 0 =", "12,345,000."},
        KeysCase{"9 9 9 9 9 9 9 9 9 + 1 =", "Error"},
        KeysCase{"9 9 9 9 9 9 9 9 9 INV - 1 =", "Error"},
        KeysCase{"9 9 9 9 9 9 9 9 9 X 1 =", "999,999,999."},
        // results whose double carries a binary tail show the decimals the arithmetic meant
        KeysCase{"9 0 5 2 X 7 8 3 3 . 8 =", "70,911,557.6"},
        KeysCase{"3 1 3 8 . 7 X 9 7 1 3 . 3 =", "30,487,134.71"},
        KeysCase{"1 8 6 9 0 . 9 2 X 3 1 2 5 =", "58,409,125."},
        KeysCase{"1 2 3 4 5 6 7 8 9 + . 1 2 3 4 5 6 7 8 9 =", "123,456,789.12"}));

INSTANTIATE_TEST_SUITE_P(NegativeSecondOperand, OperatorReadout,
                         ::testing::Values(KeysCase{"5 + - 3 =", "2."}, KeysCase{"5 - - 3 =", "8."},
                                           KeysCase{"5 X - 3 =", "-15."},
                                           KeysCase{"5 = - 3 =", "2."},
                                           KeysCase{"5 + - 3 - 1 =", "1."},
                                           KeysCase{"5 + - . 5 =", "4.5"}));

INSTANTIATE_TEST_SUITE_P(
    Percent, OperatorReadout,
    ::testing::Values(KeysCase{"2 0 0 + 1 0 %", "20."}, KeysCase{"2 0 0 + 1 0 % =", "220."},
                      KeysCase{"2 0 0 X 1 0 % =", "4,000."}, KeysCase{"5 0 - 1 0 %", "5."},
                      KeysCase{"5 0 - 1 0 % =", "45."}, KeysCase{"2 0 0 + 1 0 % 5", "205."},
                      KeysCase{"2 0 0 % 1 0 =", "200."}, KeysCase{"2 0 0 / 1 0 %", "20."},
                      KeysCase{"2 0 0 / 1 0 % =", "10."}, KeysCase{"2 0 0 + 1 0 = 5 0 %", "105."},
                      KeysCase{"3 + 5 %", "0.15"}, KeysCase{"3 + 5 % 5", "155."}));

INSTANTIATE_TEST_SUITE_P(
    Errors, OperatorReadout,
    ::testing::Values(KeysCase{"8 / 0 =", "Error"}, KeysCase{"8 / 0 = +", "Error"},
                      KeysCase{"8 / 0 = AC", "0."}, KeysCase{"8 / 0 = CE", "0."},
                      KeysCase{"8 / 0 = 4", "4."}, KeysCase{"8 / 0 = 4 + 1 =", "5."},
                      KeysCase{"8 / 0 = BS -", "0"}, KeysCase{"8 / 0 = BS - -", "0"},
                      KeysCase{". 5 MP 8 / 0 = MR -", "-0.5"},
                      KeysCase{". 5 MP 8 / 0 = MR - -", "0.5"},
                      KeysCase{"1 2 3 4 . 5 MP 8 / 0 = MR -", "-1234.5"},
                      KeysCase{"7 INV MP 8 / 0 = MR -", "7"}));

TEST(Operators, RefusedOperatorBeepsAndChangesNothingElse) {
    for (const char* tag : {"-", "/", "+", "X", "=", "%"}) {
        KeyRunner run;
        run.keys("AC 8 / 0 =");
        CalcState before = run.state();
        run.keys(std::string(tag));
        EXPECT_EQ(run.beeps, 1) << tag;
        EXPECT_EQ(run.readout(), "Error") << tag;
        EXPECT_EQ(run.state().Op1, before.Op1) << tag;
        EXPECT_EQ(run.state().Numops, before.Numops) << tag;
        EXPECT_EQ(run.state().LastInput, before.LastInput) << tag;
        EXPECT_EQ(run.state().Opflag, before.Opflag) << tag;
    }
}

TEST(Operators, ErrorStateAfterDivisionByZeroAndOverflow) {
    struct Case {
        const char* keys;
        char opflag;
    };
    for (const Case& c :
         {Case{"8 / 0 =", '='}, Case{"8 / 0 +", '+'}, Case{"9 9 9 9 9 9 9 9 9 + 1 =", '='},
          Case{"9 9 9 9 9 9 9 9 9 X 9 X", 'X'}}) {
        KeyRunner run;
        run.keys("AC").keys(c.keys);
        EXPECT_EQ(run.readout(), "Error") << c.keys;
        EXPECT_EQ(run.state().Numops, 0) << c.keys;
        EXPECT_EQ(run.state().LastInput, InputKind::Ops) << c.keys;
        EXPECT_EQ(run.state().Opflag, c.opflag) << c.keys;
    }
    KeyRunner divided;
    divided.keys("AC 8 / 0 =");
    EXPECT_EQ(divided.state().Op1, 1234567890123.0);
}

// Each row: keys from AC, then the state that the state table names.
TEST(Operators, StateTable) {
    struct Case {
        const char* keys;
        int numops;
        InputKind last;
        char opflag;
    };
    for (const Case& c : {
             Case{"", 0, InputKind::Nums, '\0'},            // First
             Case{"5", 0, InputKind::Nums, '\0'},           // First, typing
             Case{"5 +", 1, InputKind::Ops, '+'},           // Pending
             Case{"5 + X", 1, InputKind::Ops, 'X'},         // the pending operator is replaced
             Case{"5 + 3", 1, InputKind::Nums, '+'},        // Second
             Case{"5 + -", 1, InputKind::Neg, '+'},         // Negative keeps the operator
             Case{"5 + - +", 1, InputKind::Neg, '+'},       // "-" is no number: beep
             Case{"5 + 3 =", 1, InputKind::Ops, '='},       // Pending after a result
             Case{"5 + 3 CE", 1, InputKind::Nums, '+'},     // CE with an operand: Second
             Case{"5 CE", 0, InputKind::Nums, '\0'},        // CE before any operator: First
             Case{"5 + 3 AC", 0, InputKind::Nums, '+'},     // AC keeps Opflag
             Case{"5 + 1 0 %", 1, InputKind::Nums, '+'},    // percent keeps the pending operator
             Case{"5 %", 1, InputKind::Ops, '%'},           // "%" without a second number
             Case{"8 / 0 = BS -", 0, InputKind::Ops, '-'},  // Lost
             Case{"8 / 0 = 4", 0, InputKind::Nums, '='},    // Lost -> First
         }) {
        KeyRunner run;
        run.keys("AC").keys(c.keys);
        EXPECT_EQ(run.state().Numops, c.numops) << "keys: " << c.keys;
        EXPECT_EQ(run.state().LastInput, c.last) << "keys: " << c.keys;
        EXPECT_EQ(run.state().Opflag, c.opflag) << "keys: " << c.keys;
    }
}

TEST(Operators, ResultKeepsFullPrecisionUntilReloadedFromReadout) {
    KeyRunner run;
    run.keys("AC 1 / 3");
    run.keys("X");
    EXPECT_DOUBLE_EQ(run.state().Op1, 1.0 / 3);
    run.keys("AC 1 / 3 = X");
    EXPECT_EQ(run.state().Op1, 0.333333333);
}

TEST(Operators, OutOfRangeIndexDoesNothing) {
    KeyRunner run;
    run.keys("AC 1 2");
    CalcState before = run.state();
    for (Key key : {Key{KeyGroup::Operator, 8}, Key{KeyGroup::Operator, -1},
                    Key{KeyGroup::Number, 12}, Key{KeyGroup::Number, -1}, Key{KeyGroup::Tax, 3},
                    Key{KeyGroup::Mem, 4}, Key{KeyGroup::Mem, -1}}) {
        run.calc.press(key);
    }
    EXPECT_EQ(run.readout(), "12.");
    EXPECT_EQ(run.state().Numops, before.Numops);
    EXPECT_EQ(run.state().LastInput, before.LastInput);
    EXPECT_EQ(run.beeps, 0);
}

}  // namespace
}  // namespace z5calc::testing
