#include "calculation.h"

#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace z5calc {
namespace {

// A view that writes down what it is told: "R" readout, "M+"/"M-" the memory mark, "rate 8%",
// "tape+N" (with "-D" for oldest lines dropped), "clear", "beep", "transfer 5".
class EventLog final : public CalculationDisplay {
  public:
    std::string text;

    void readout_changed(const CalcState&) noexcept override { add("R"); }
    void mem_mark_changed(bool shown) noexcept override { add(shown ? "M+" : "M-"); }
    void rate_changed(TaxRateKind, double rate) noexcept override {
        add("rate " + percent_digits(rate));
    }
    void tape_lines_added(const Tape&, std::size_t added, std::size_t dropped) noexcept override {
        add("tape+" + std::to_string(added) + (dropped ? "-" + std::to_string(dropped) : ""));
    }
    void tape_cleared() noexcept override { add("clear"); }
    void beep() noexcept override { add("beep"); }
    void transferred(double value) noexcept override {
        std::ostringstream v;
        v << value;
        add("transfer " + v.str());
    }

  private:
    void add(const std::string& event) { text += (text.empty() ? "" : " ") + event; }
};

// Presses words as the window would: key tags, "SW" the rate switch, "TRANS" the transfer,
// "CLR" the menu's tape clear, "PASTE:x" a pasted number.
void work(Calculation& calc, const std::string& words) {
    std::istringstream in(words);
    for (std::string w; in >> w;) {
        if (w == "SW") {
            calc.switch_tax_rate();
        } else if (w == "TRANS") {
            calc.transfer();
        } else if (w == "CLR") {
            calc.clear_tape();
        } else if (w.rfind("PASTE:", 0) == 0) {
            calc.paste(std::stod(w.substr(6)));
        } else if (auto key = key_from_tag(w)) {
            calc.press(*key);
        } else {
            ADD_FAILURE() << "unknown word " << w;
        }
    }
}

struct Row {
    const char* keys;
    double limit;
    const char* readout;
    std::size_t tapeLines;
    const char* events;  // after the call opened with 0
};

TEST(Calculation, EachOperationTellsItsViewsWhatChanged) {
    const Row rows[] = {
        {"2 + 3 =", 0, "5.", 4, "R tape+1 R R tape+2"},
        {"AC BS", 0, "0.", 2, "tape+1"},
        {"5 MP MC", 0, "5.", 3, "R M+ tape+1 M- tape+1"},  // the mark on its own
        {"SW taxin", 0, "0.", 3, "rate 8% tape+1 tape+1"},
        {"5 0 taxin", 0, "55.", 3, "R R R tape+2"},
        {"2 CLR", 0, "2.", 0, "R clear"},
        {"PASTE:1e20", 0, "0.", 1, "beep"},
        {"5 + - TRANS", 0, "-", 3, "R tape+1 R tape+1 beep beep"},
        {"5 TRANS", 0, "5.", 3, "R tape+2 transfer 5"},
        {"2 0 0 TRANS", 100, "200.", 2, "R R R beep tape+1"},
    };
    for (const Row& row : rows) {
        Calculation calc;
        EventLog log;
        ASSERT_TRUE(calc.attach(log));
        calc.open(0, row.limit, {}, TaxRateKind::Standard);
        log.text.clear();
        work(calc, row.keys);
        EXPECT_EQ(calc.readout(), row.readout) << row.keys;
        EXPECT_EQ(calc.tape().size(), row.tapeLines) << row.keys;
        EXPECT_EQ(log.text, row.events) << row.keys;
        EXPECT_EQ(calc.transferred().has_value(),
                  std::string(row.events).find("transfer") != std::string::npos)
            << row.keys;
    }
}

TEST(Calculation, AFullTapeDropsItsOldestLineForEachNewOne) {
    Calculation calc;
    EventLog log;
    calc.attach(log);
    calc.open(0, 0, {}, TaxRateKind::Standard);
    for (std::size_t i = 1; i < Tape::kCapacity; ++i) work(calc, "1 +");
    log.text.clear();
    work(calc, "1 + 1 =");
    EXPECT_EQ(log.text, "R R tape+1-1 R R tape+2-2");
    EXPECT_EQ(calc.tape().size(), Tape::kCapacity);
}

// A nested call puts back the calculation, rate, limit and transfer of the call it interrupted;
// the memory and the tape keep what the inner call did.
TEST(Calculation, ResumingAnInterruptedCallKeepsTheInnerMemoryAndTape) {
    Calculation calc;
    calc.open(0, 100, {0.1, 0.08, 0}, TaxRateKind::Reduced);
    work(calc, "1 2 +");
    const Calculation::Interrupted saved = calc.interrupt();
    calc.open(99, 0, {0.1, 0.08, 0}, TaxRateKind::Standard);
    work(calc, "AC 8 / 0 = MC 7 MP 5 0 0 TRANS");
    ASSERT_TRUE(calc.transferred());
    const std::size_t lines = calc.tape().size();
    EventLog log;
    calc.attach(log);
    calc.resume(saved);
    EXPECT_EQ(log.text, "R rate 8%");
    EXPECT_EQ(calc.readout(), "12.");
    EXPECT_EQ(calc.tape().size(), lines);
    EXPECT_FALSE(calc.transferred());
    work(calc, "9 9 TRANS");  // 111: the interrupted call's limit of 100 came back with it
    EXPECT_FALSE(calc.transferred());
    work(calc, "AC 1 2 + 5 TRANS");
    EXPECT_EQ(calc.transferred(), 17);
    EXPECT_EQ(calc.state().mem, 7);
}

TEST(Calculation, ViewsBeyondItsRoomAreRefusedAndADetachedViewHearsNothing) {
    Calculation calc;
    EventLog logs[Calculation::kViews + 1];
    for (std::size_t i = 0; i < Calculation::kViews; ++i) EXPECT_TRUE(calc.attach(logs[i]));
    EXPECT_FALSE(calc.attach(logs[Calculation::kViews]));
    calc.detach(logs[0]);
    work(calc, "7");
    EXPECT_EQ(logs[0].text, "");
    EXPECT_EQ(logs[1].text, "R");
}

}  // namespace
}  // namespace z5calc
