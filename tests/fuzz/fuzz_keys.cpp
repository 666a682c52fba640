// Key sequences through the engine, with settings and starting values from the input: the
// readout is always a legal text, the number it shows reads back and shows again the same,
// and the tape holds at most its capacity of legal lines.
#include <cstddef>
#include <cstdint>
#include <limits>

#include "calculator.h"
#include "fuzz_oracles.h"
#include "number_text.h"

namespace {

using namespace z5calc;
using fuzz::require;

struct Quiet final : CalcDisplay {
    void beep() noexcept override {}
};

constexpr double kRates[] = {
    0.05, 0.1, 0.08, 0, 0.999, 1e-9, 3.3, -0.1, std::numeric_limits<double>::quiet_NaN()};
constexpr double kStarts[] = {0,      1,         -1,    0.5,  99999999, 1e13,   -1e13,
                              1e-300, 1234.5678, 1e300, -0.0, 1e15,     1.0 / 3};

Key key_of(std::uint8_t b) {
    // All keys, and now and then an index beyond its group, which must change nothing.
    switch (b % 9) {
        case 0:
        case 1:
        case 2:
            return {KeyGroup::Number, static_cast<std::int8_t>(b / 9 % 13)};
        case 3:
            return {KeyGroup::Operator, static_cast<std::int8_t>(b / 9 % 9)};
        case 4:
            return {KeyGroup::Mem, static_cast<std::int8_t>(b / 9 % 5)};
        case 5:
            return {KeyGroup::Tax, static_cast<std::int8_t>(b / 9 % 4)};
        case 6:
            return {KeyGroup::Decimal, 0};
        case 7:
            return {KeyGroup::Inv, 0};
        default:
            return {KeyGroup::Bs, 0};
    }
}

std::string_view unsigned_part(std::string_view t) {
    return !t.empty() && t[0] == '-' ? t.substr(1) : t;
}

// The starting value stands as the platform's plain conversion of it ("1500.", "1E+15.") until
// a key reformats the readout; backspace shortens it unformatted. Any other text is legal.
bool from_start(std::string_view r, std::string_view start) {
    return !r.empty() && unsigned_part(start).starts_with(unsigned_part(r));
}

// `rewritten`: the key wrote a number of its own to the readout (a result, a recalled or
// pasted number, a sign change), as against typing, which may stand as typed ("0.50").
void check(const Calculator& calc, std::string_view start, bool rewritten) {
    const std::string_view r = calc.readout();
    if (from_start(r, start)) return;
    require(fuzz::legal_readout(r), "the readout is a legal text", r);
    if (r != "Error" && r != "" && r != "-") {
        const auto x = read_number(r);
        require(x.has_value(), "a number text reads back", r);
    }
    if (rewritten && r != "Error") {
        const auto x = read_number(r);
        require(x.has_value(), "a shown number reads back", r);
        require(in_display_range(*x), "a shown number is in the display's range", r);
        const ReadoutText again = display_text(*x);
        require(read_number(again.view()) == x, "a shown number shows again as itself", r);
    }
    const Tape& tape = calc.tape();
    require(tape.size() <= Tape::kCapacity, "the tape keeps at most its capacity");
    if (!tape.empty() && tape[tape.size() - 1].mark != TapeMark::Start) {
        const std::string_view last = tape[tape.size() - 1].number.view();
        require(fuzz::legal_readout(last) || from_start(last, start),
                "a tape line holds what the readout showed", last);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    Quiet display;
    Calculator calc(display);
    calc.set_tax(kRates[data[0] % std::size(kRates)], static_cast<std::int16_t>(data[1] % 6));
    calc.set_reduced_tax(kRates[data[1] / 6 % std::size(kRates)]);
    calc.open(kStarts[data[2] % std::size(kStarts)], data[3] % 2 ? 99999999 : 0);
    const ReadoutText start = calc.state().Readout;
    check(calc, start.view(), false);
    for (std::size_t i = 4; i < size; ++i) {
        const std::uint8_t b = data[i];
        const ReadoutText before = calc.state().Readout;
        bool typing = false;
        if (b == 0xFF) {
            calc.switch_tax_rate();
        } else if (b == 0xFE && i + 1 < size) {
            calc.paste(kStarts[data[++i] % std::size(kStarts)]);
        } else {
            const Key key = key_of(b);
            typing = key.group == KeyGroup::Number || key.group == KeyGroup::Decimal ||
                     key.group == KeyGroup::Bs;
            // After an out-of-range value (no operand yet) minus writes the plain text of the
            // negated number, digits as needed: that number, not the display's form of it.
            const bool plainNegation =
                key == Key{KeyGroup::Operator, 2} && calc.state().Numops == 0 &&
                calc.state().LastInput != InputKind::Nums && read_number(before.view());
            calc.press(key);
            if (plainNegation) {
                require(read_number(calc.readout()) == -*read_number(before.view()),
                        "minus after an out-of-range value negates", calc.readout());
                typing = true;
            }
        }
        check(calc, start.view(), !typing && !(calc.state().Readout == before));
    }
    return 0;
}
