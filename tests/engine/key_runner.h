#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "calculator.h"
#include "tape.h"

namespace z5calc::testing {

// Drives a calculator by key tags, the way the rows of the tests read: "2 + 3 =".
class KeyRunner final : public CalcDisplay {
  public:
    KeyRunner() : calc(*this) {}

    void beep() noexcept override { ++beeps; }

    // Presses the keys; "5*" double-clicks a number key or backspace after its click.
    KeyRunner& keys(std::string_view sequence) {
        std::istringstream words{std::string(sequence)};
        std::string word;
        while (words >> word) press(word);
        return *this;
    }

    void press(std::string word) {
        bool double_click = word.size() > 1 && word.back() == '*';
        if (double_click) word.pop_back();
        auto key = key_from_tag(word);
        if (!key) {
            ADD_FAILURE() << "test names an unknown key '" << word << "'";
            return;
        }
        calc.press(*key);
        // A double-click acts once more, on the number keys and backspace only.
        if (double_click && (key->group == KeyGroup::Number || key->group == KeyGroup::Bs))
            calc.press(*key);
    }

    std::string readout() const { return std::string(calc.readout()); }
    const CalcState& state() const { return calc.state(); }

    Calculator calc;
    int beeps = 0;
};

// One row of a table of cases: keys pressed after AC, and the readout they leave.
struct KeysCase {
    const char* keys;
    const char* readout;
};

inline void PrintTo(const KeysCase& c, std::ostream* os) {
    *os << c.keys;
}

// Runs the keys on a calculator after AC, as the tables of cases assume.
inline std::string readout_after(std::string_view sequence) {
    KeyRunner run;
    run.keys("AC").keys(sequence);
    return run.readout();
}

// The tape spelt as the tests write it: each line's mark, its rate, its number, "*" when it
// was corrected.
inline std::string spelt(const Tape& tape) {
    static constexpr const char* kWords[] = {"start", "+",   "-",   "x",  "/",    "=",  "%",
                                             "in",    "out", "tax", "MR", "AC",   "CE", "trans",
                                             "BS",    "M+",  "M-",  "MC", "rate", "GT", "GTC"};
    static_assert(std::size(kWords) == kTapeMarkCount);
    std::string text;
    for (std::size_t i = 0; i < tape.size(); ++i) {
        text += kWords[static_cast<std::size_t>(tape[i].mark)];
        if (names_rate(tape[i].mark)) text += " " + percent_digits(tape[i].rate);
        text += " " + std::string(tape[i].number.view()) + (tape[i].corrected ? "*|" : "|");
    }
    return text;
}

}  // namespace z5calc::testing
