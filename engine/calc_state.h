#pragma once

#include <cstdint>
#include <string_view>

#include "readout_text.h"

namespace z5calc {

// The kind of the last input. The texts are the ones the calculator's state table uses.
enum class InputKind : std::uint8_t {
    None,  // ""     never set yet
    Nums,  // "NUMS" a number is being typed
    Ops,   // "OPS"  an operator was last; the next digit starts a new number
    Neg,   // "NEG"  the minus key began a negative number; the readout shows "-"
    Lost,  // " "    the last value was out of range; the readout shows "Error"
};

constexpr std::string_view input_kind_text(InputKind kind) noexcept {
    switch (kind) {
        case InputKind::Nums:
            return "NUMS";
        case InputKind::Ops:
            return "OPS";
        case InputKind::Neg:
            return "NEG";
        case InputKind::Lost:
            return " ";
        case InputKind::None:
            break;
    }
    return "";
}

// The whole calculator. Opflag holds the one-character tag of the pending operator ('-', '/', '+',
// 'X', '=', '%'), ' ' after an out-of-range value, or '\0' before any operator.
struct CalcState {
    double Op1 = 0;
    double Op2 = 0;
    bool decimalflag = false;
    std::int16_t Numops = 0;  // numbers held for the pending operator: 0 or 1 between keys
    InputKind LastInput = InputKind::None;
    char Opflag = '\0';
    double mmax = 0;
    double mem = 0;
    ReadoutText Readout{"0."};
    bool memMark = false;  // whether the "M" mark is shown
};

}  // namespace z5calc
