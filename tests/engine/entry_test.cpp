#include "engine/key_runner.h"

namespace z5calc::testing {
namespace {

class EntryReadout : public ::testing::TestWithParam<KeysCase> {};

TEST_P(EntryReadout, KeysGiveReadout) {
    EXPECT_EQ(readout_after(GetParam().keys), GetParam().readout) << "keys: " << GetParam().keys;
}

INSTANTIATE_TEST_SUITE_P(Digits, EntryReadout,
                         ::testing::Values(KeysCase{"0", "0."}, KeysCase{"0 0", "0."},
                                           KeysCase{"0 0 7", "7."}, KeysCase{"00", "0."},
                                           KeysCase{"000 5", "5."}, KeysCase{"1 000", "1,000."},
                                           KeysCase{"1 2 3 4", "1,234."},
                                           KeysCase{"1 2 3 4 5 6 7 8 9", "123,456,789."},
                                           // the tenth digit is refused without a beep
                                           KeysCase{"1 2 3 4 5 6 7 8 9 1", "123,456,789."},
                                           KeysCase{"1 2 3 4 5 6 7 8 9 000", "123,456,789."},
                                           // past nine digits only the first eight are kept
                                           KeysCase{"1 2 3 4 5 6 7 000", "12,345,670."},
                                           KeysCase{"1 2 3 4 5 6 7 8 00", "12,345,678."},
                                           KeysCase{"9 9 9 9 9 9 9 9 9", "999,999,999."},
                                           KeysCase{"5*", "55."}, KeysCase{"1 00*", "10,000."}));

INSTANTIATE_TEST_SUITE_P(
    Decimals, EntryReadout,
    ::testing::Values(KeysCase{". 5", "0.5"}, KeysCase{". 5 .", "0.5"}, KeysCase{". 5 . 0", "0.50"},
                      KeysCase{"0 . 0 5", "0.05"}, KeysCase{"1 2 . 3 4", "12.34"},
                      KeysCase{"1 2 3 4 . 5 0", "1,234.50"}, KeysCase{". 000", "0.000"},
                      // the 12-character test is made before the key's digits are added
                      KeysCase{". 1 2 3 4 5 6 7 8 9 0", "0.1234567890"},
                      KeysCase{". 1 2 3 4 5 6 7 8 9 0 000", "0.1234567890"},
                      KeysCase{". 1 2 3 4 5 6 7 8 9 000", "0.123456789000"},
                      KeysCase{"1 2 3 4 5 6 7 8 9 . 1 2 3", "123,456,789."}));

INSTANTIATE_TEST_SUITE_P(NegativeEntry, EntryReadout,
                         ::testing::Values(KeysCase{"5 + -", "-"}, KeysCase{"5 + - 5", "-5."},
                                           KeysCase{"5 + - . 2", "-0.2"},
                                           KeysCase{"5 + - .", "-0."}, KeysCase{"5 + - 0", "-0."},
                                           KeysCase{"5 + - 0 5", "-5."},
                                           KeysCase{"5 + - 1 2 3 4 5 6 7 8", "-12,345,678."},
                                           KeysCase{"5 + - 1 2 3 4 5 6 7 8 9", "-12,345,678."},
                                           // a negative entry is cut as a positive one is
                                           KeysCase{"5 + - 1 2 3 4 5 6 7 000", "-12,345,670."},
                                           KeysCase{"2 0 INV 2 9 7 4 1 000", "-20,297,410."},
                                           KeysCase{"2 0 INV 2 9 7 4 1 000 . 1", "-20,297,410."},
                                           KeysCase{"2 0 INV 2 9 7 4 1 000 5", "-20,297,410."},
                                           KeysCase{"1 2 3 4 5 6 7 8 INV 00", "-12,345,678."},
                                           KeysCase{"9 9 9 9 9 9 9 9 INV 9 9", "-99,999,999."}));

INSTANTIATE_TEST_SUITE_P(SignChange, EntryReadout,
                         ::testing::Values(KeysCase{"1 2 INV", "-12."},
                                           KeysCase{"1 2 INV 3", "-123."},
                                           KeysCase{"1 2 INV INV", "12."},
                                           KeysCase{". 5 0 INV", "-0.5"},
                                           KeysCase{". 5 0 INV 5", "-0.55"}, KeysCase{"INV", "0."},
                                           KeysCase{"1 2 3 4 INV", "-1,234."}));

INSTANTIATE_TEST_SUITE_P(
    Backspace, EntryReadout,
    ::testing::Values(KeysCase{"1 2 3 4 BS", "123."}, KeysCase{"1 2 3 4 5 BS", "1,234."},
                      KeysCase{"5 INV BS", "0."}, KeysCase{". 5 BS", "0."},
                      KeysCase{". 5 BS 7", "0.7"}, KeysCase{". 1 2 5 BS", "0.12"},
                      KeysCase{"BS", "0."}, KeysCase{". BS 5", "5."}, KeysCase{"8 / 0 = BS", "0."},
                      KeysCase{"5 + - BS", ""}, KeysCase{"5 + - BS BS", ""},
                      KeysCase{"5 + - BS 5", "-5."}, KeysCase{"5 + - . BS", "0."},
                      KeysCase{"1 2 3 BS*", "1."}, KeysCase{"1 2 3 4 . 5 BS", "1,234."},
                      KeysCase{"1 2 3 4 . 5 BS BS", "123."}, KeysCase{"1 2 3 4 . BS", "123."}));

TEST(Entry, RefusedDigitKeepsNumsWithoutBeep) {
    KeyRunner run;
    run.keys("AC 1 2 3 4 5 6 7 8 9");
    int before = run.beeps;
    run.keys("1");
    EXPECT_EQ(run.beeps, before);
    EXPECT_EQ(run.state().LastInput, InputKind::Nums);
}

TEST(Entry, CutNegativeEntryGoesOnAsNums) {
    KeyRunner run;
    run.keys("AC 5 + - 1 2 3 4 5 6 7 000");
    EXPECT_EQ(run.readout(), "-12,345,670.");
    EXPECT_EQ(run.state().LastInput, InputKind::Nums);
    EXPECT_EQ(run.state().Numops, 1);
    EXPECT_EQ(run.state().Opflag, '+');
    run.keys("=");
    EXPECT_EQ(run.readout(), "-12,345,665.");
}

TEST(Entry, DecimalFlagFollowsPointBackspaceAndOperators) {
    struct Case {
        const char* keys;
        bool decimalflag;
    };
    for (const Case& c :
         {Case{". 5", true}, Case{". 5 BS", true}, Case{"BS", false}, Case{". BS", false},
          Case{". 5 INV", true}, Case{". 5 +", false}, Case{". 5 AC", false},
          Case{"1 . 5 BS BS", false}, Case{"8 / 0 = . +", false}}) {
        KeyRunner run;
        run.keys("AC").keys(c.keys);
        EXPECT_EQ(run.state().decimalflag, c.decimalflag) << "keys: " << c.keys;
    }
}

TEST(Entry, LastInputByKeyAndStateBefore) {
    struct Case {
        const char* keys;
        InputKind last;
    };
    for (const Case& c :
         {Case{"5", InputKind::Nums}, Case{"5 +", InputKind::Ops}, Case{"5 + 3", InputKind::Nums},
          Case{"5 + -", InputKind::Neg}, Case{"5 + - 3", InputKind::Nums},
          Case{"5 + - .", InputKind::Nums}, Case{"5 + - INV", InputKind::Neg},
          Case{"5 + - BS", InputKind::Neg}, Case{"5 + INV", InputKind::Ops},
          Case{"5 + BS", InputKind::Ops}, Case{"8 / 0 = .", InputKind::Nums}}) {
        KeyRunner run;
        run.keys("AC").keys(c.keys);
        EXPECT_EQ(run.state().LastInput, c.last) << "keys: " << c.keys;
    }
}

TEST(Entry, SignChangeBeepsOnTextThatIsNoNumber) {
    for (const char* keys : {"8 / 0 = INV", "5 + - INV", "5 + - BS INV"}) {
        KeyRunner run;
        run.keys("AC").keys(keys);
        EXPECT_EQ(run.beeps, 1) << "keys: " << keys;
        EXPECT_EQ(run.readout(),
                  readout_after(std::string(keys).substr(0, std::string(keys).size() - 4)));
    }
}

TEST(Entry, SignChangeOutOfRangeShowsPlainError) {
    KeyRunner run;
    run.calc.open(1500000000, 0);
    run.keys("INV");
    EXPECT_EQ(run.readout(), "Error");
    EXPECT_EQ(run.beeps, 0);
}

TEST(Entry, EntryAfterAnErrorPercentageBeginsANewNumber) {
    // A percentage out of range leaves "Error" with NUMS; nothing typed is appended to the word.
    struct Case {
        const char* keys;
        const char* readout;
        bool decimalflag;
    };
    for (const Case& c :
         {Case{"", "Error", false}, Case{".", "0.", true}, Case{". 5", "0.5", true},
          Case{". 000", "0.000", true}, Case{"3", "3.", false}, Case{"000 7", "7.", false},
          Case{". 5 BS", "0.", true}, Case{"BS", "0.", false}}) {
        KeyRunner run;
        run.keys("AC 9 9 9 9 9 9 9 9 9 + 9 9 9 9 9 9 9 9 9 %");
        ASSERT_EQ(run.state().LastInput, InputKind::Nums);
        run.keys(c.keys);
        EXPECT_EQ(run.readout(), c.readout) << "keys: " << c.keys;
        EXPECT_EQ(run.state().decimalflag, c.decimalflag) << "keys: " << c.keys;
        EXPECT_EQ(run.beeps, 0) << "keys: " << c.keys;
    }
}

}  // namespace
}  // namespace z5calc::testing
