#include "tape.h"

#include <string>

#include <gtest/gtest.h>

#include "key_runner.h"

namespace z5calc {
namespace {

using testing::KeyRunner;
using testing::spelt;

// Each step that changes the calculation is one line: the number an operator took, each
// result, the clears with what they cleared, the memory keys, the rate switch, a backspace on a
// number the tape holds; nothing twice, and nothing for refused keys or edits while typing.
TEST(Tape, RecordsEveryStepOfACalculation) {
    struct Case {
        const char* keys;
        const char* tape;
    };
    const Case cases[] = {
        {"2 + 3 =", "+ 2.|= 3.|= 5.|"},
        {"2 + 3 = =", "+ 2.|= 3.|= 5.|"},  // the second "=" changes nothing
        {"1 2 X 3 - 6 / 2 =", "x 12.|- 3.|/ 6.|= 2.|= 15.|"},
        {"2 0 0 X 5 %", "x 200.|% 5.|% 10.|"},
        {"1 0 0 0 taxin", "in 10% 1,000.|in 10% 1,100.|"},
        {"1 0 8 0 taxout tax", "out 10% 1,080.|out 10% 982.|tax 10% 98.|"},
        {"1 0 0 taxin =", "in 10% 100.|in 10% 110.|"},
        {"5 0 + 1 0 0 taxin =", "+ 50.|in 10% 100.|in 10% 110.|= 160.|"},
        {"1 + 1 + = 5 =", "+ 1.|+ 1.|= 2.|= 5.|"},
        {"5 =", "= 5.|"},
        {"5 MP AC MR MM MC", "M+ 5.|AC 5.|MR 5.|M- 5.|"},
        {"1 + 2 MP 4 MP MC", "+ 1.|= 2.|= 3.|M+ 3.|M+ 4.|MC 7.|"},
        {"1 2 3 = BS + 1 =", "= 123.|BS 12.|+ 12.|= 1.|= 13.|"},
        {"1 0 0 taxin BS", "in 10% 100.|in 10% 110.|BS 11.|"},
        {"7 CE 8 +", "CE 7.|+ 8.|"},
        {"1 / 0 = +", "/ 1.|= 0.|= Error|"},
        {"9 BS INV . 5 MC", ""},
    };
    for (const Case& c : cases) {
        KeyRunner r;
        r.calc.set_tax(0.1, 0);
        r.keys(c.keys);
        EXPECT_EQ(spelt(r.calc.tape()), c.tape) << c.keys;
    }
}

TEST(Tape, CallsStartAndTheReducedRateIsNamed) {
    KeyRunner r;
    r.calc.set_tax(0.1, 0);
    r.calc.set_reduced_tax(0.08);
    r.calc.open(1000, 0);
    r.calc.switch_tax_rate();
    r.keys("taxin");
    r.calc.tape().record(TapeMark::Transfer, r.calc.state().Readout);
    EXPECT_EQ(spelt(r.calc.tape()), "start 1000.|rate 8% |in 8% 1,080.|trans 1,080.|");
    // AC keeps the tape; only a clear empties it.
    r.keys("AC");
    EXPECT_EQ(r.calc.tape().size(), 5u);
    r.calc.tape().clear();
    EXPECT_TRUE(r.calc.tape().empty());
}

TEST(Tape, KeepsTheNewest300Lines) {
    Tape tape;
    for (int i = 1; i <= 400; ++i)
        tape.record(TapeMark::Plus, ReadoutText(std::to_string(i) + "."));
    ASSERT_EQ(tape.size(), Tape::kCapacity);
    EXPECT_EQ(tape[0].number, "101.");
    EXPECT_EQ(tape[299].number, "400.");
    EXPECT_EQ(tape.recorded(), 400u);
}

}  // namespace
}  // namespace z5calc
