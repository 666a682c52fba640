#include "calculator.h"

#include <cmath>
#include <string_view>

#include "number_text.h"

namespace z5calc {

namespace {

// Stored for a division by zero and shown for a faulted percentage: beyond the display range,
// so the readout shows "Error".
constexpr double kErrorMarker = 1'234'567'890'123.0;

}  // namespace

bool Calculator::open(double value, double mmax) noexcept {
    if (!std::isfinite(value)) return false;
    ReadoutText text = general_text(value);
    if (text.view().find('.') == std::string_view::npos) text.push_back('.');
    state_.Readout = text;
    state_.LastInput = InputKind::Ops;
    state_.Opflag = '=';
    state_.Numops = 1;
    state_.mmax = mmax;
    tape_.record(TapeMark::Start, state_.Readout);
    readoutOnTape_ = true;
    return true;
}

void Calculator::show_number(double x) noexcept {
    if (!in_display_range(x)) {
        state_.Readout.assign("Error");
        state_.Numops = 0;
        state_.Opflag = ' ';
        state_.LastInput = InputKind::Lost;
        return;
    }
    state_.Readout = display_text(x);
}

bool Calculator::paste(double x) noexcept {
    if (!in_display_range(x)) {
        display_.beep();
        return false;
    }
    show_number(x);
    readoutOnTape_ = false;
    return true;
}

void Calculator::operator_click(int index) noexcept {
    const ReadoutText before = state_.Readout;
    const bool typed = state_.LastInput == InputKind::Nums;
    operator_key(index);
    record_operator(index, before, typed);
}

// An operator's line: the number it took; "=" and "%" record the number only when it was
// typed (and no line holds it already), and then their result. A refused key (an unreadable
// readout) records nothing.
void Calculator::record_operator(int index, const ReadoutText& before, bool typed) noexcept {
    static constexpr TapeMark kMarks[] = {TapeMark::AllClear, TapeMark::ClearEntry, TapeMark::Minus,
                                          TapeMark::Divide,   TapeMark::Plus,       TapeMark::Times,
                                          TapeMark::Equals,   TapeMark::Percent};
    static_assert(std::size(kMarks) == kOperatorTags.size());
    if (index < 0 || index >= static_cast<int>(std::size(kMarks))) return;
    const TapeMark mark = kMarks[index];
    if (mark == TapeMark::AllClear || mark == TapeMark::ClearEntry) {
        tape_.record(mark, before);  // what was cleared
        return;
    }
    if (!read_number(before.view())) return;
    if (mark != TapeMark::Equals && mark != TapeMark::Percent) {
        tape_.record(mark, before);
        return;
    }
    if (typed && !readoutOnTape_) tape_.record(mark, before);
    record_result(mark, before);
}

// A result's line, unless the key changed nothing that the newest line does not already show
// (a second "=", the transfer's own "=", "=" right after a typed "5 =").
void Calculator::record_result(TapeMark mark, const ReadoutText& before) noexcept {
    if (state_.Readout == before && tape_.ends_with(before)) return;
    tape_.record(mark, state_.Readout);
}

void Calculator::operator_key(int index) noexcept {
    if (index < 0 || index >= static_cast<int>(kOperatorTags.size())) return;
    CalcState& s = state_;
    s.decimalflag = false;

    if (index == kOperatorAC || index == kOperatorCE) {
        s.Readout.assign("0.");
        s.LastInput = InputKind::Nums;
        // CE keeps Numops, so a cleared entry counts as an entered zero (5 + CE = gives 5).
        if (index == kOperatorAC) s.Numops = 0;
        return;
    }

    auto read = read_number(s.Readout.view());
    if (!read) {
        display_.beep();
        return;
    }
    const double v = *read;
    const char tag = kOperatorTags[index].front();
    if (s.LastInput == InputKind::Nums) ++s.Numops;

    switch (s.Numops) {
        case 0:
            // Only after an out-of-range value. A negated zero is written "0".
            if (tag == '-') s.Readout = plain_text(-v);
            break;
        case 1:
            s.Op1 = v;
            if (tag == '-' && s.LastInput != InputKind::Nums && s.Opflag != '=') {
                // A negative second number begins; the pending operator still applies to it.
                s.Readout.assign("-");
                s.LastInput = InputKind::Neg;
            }
            break;
        case 2:
            s.Op2 = v;
            if (tag == '%') {
                // The percentage stands on the readout as a typed second operand would, and
                // the pending operator is left to the next key.
                double percentage = s.Op1 * s.Op2 / 100;
                if (std::isfinite(percentage)) {
                    s.Op2 = round_result(percentage, rounding_);
                    show_number(s.Op2);
                } else {
                    show_number(kErrorMarker);
                }
                s.LastInput = InputKind::Nums;
                s.Numops = 1;
                return;
            }
            switch (s.Opflag) {
                case '+':
                    s.Op1 = s.Op1 + s.Op2;
                    break;
                case '-':
                    s.Op1 = s.Op1 - s.Op2;
                    break;
                case 'X':
                    s.Op1 = s.Op1 * s.Op2;
                    break;
                case '/':
                    s.Op1 = s.Op2 != 0 ? s.Op1 / s.Op2 : kErrorMarker;
                    break;
                case '=':
                    s.Op1 = s.Op2;
                    break;
                default:
                    break;  // a pending "%" (or nothing) leaves Op1 as it is
            }
            s.Numops = 1;
            s.Op1 = round_result(s.Op1, rounding_);
            show_number(s.Op1);
            break;
        default:
            break;
    }

    if (s.LastInput != InputKind::Neg) {
        s.LastInput = InputKind::Ops;
        s.Opflag = tag;
    }
}

void Calculator::mem_click(int index) noexcept {
    CalcState& s = state_;
    switch (index) {
        case kMemClear:
            // What was cleared, as AC records it; clearing an empty memory changes nothing.
            if (s.mem != 0) record_cleared(TapeMark::MemClear, s.mem);
            s.mem = 0;
            s.memMark = false;
            break;
        case kMemPlus:
        case kMemMinus: {
            if (!read_number(s.Readout.view())) {
                display_.beep();
                return;
            }
            const ReadoutText before = s.Readout;
            const bool typed = s.LastInput == InputKind::Nums;
            const bool pending =
                s.Numops == 1 && std::string_view("+-X/").find(s.Opflag) != std::string_view::npos;
            operator_key(kOperatorEquals);
            if (pending) record_operator(kOperatorEquals, before, typed);
            auto v = read_number(s.Readout.view());
            if (!v) {
                display_.beep();  // the pending calculation ran out of range
                return;
            }
            s.mem = index == kMemPlus ? s.mem + *v : s.mem - *v;
            s.memMark = s.mem != 0;
            tape_.record(index == kMemPlus ? TapeMark::MemPlus : TapeMark::MemMinus, s.Readout);
            break;
        }
        case kMemRecall:
            recall(s.mem, TapeMark::MemRecall);
            break;
        default:
            break;
    }
}

void Calculator::record_cleared(TapeMark mark, double x) noexcept {
    tape_.record(mark, in_display_range(x) ? display_text(x) : ReadoutText("Error"));
}

void Calculator::recall(double x, TapeMark mark) noexcept {
    show_number(x);
    tape_.record(mark, state_.Readout);
    readoutOnTape_ = true;
}

void Calculator::press(Key key) noexcept {
    const std::uint64_t lines = tape_.recorded();
    press_key(key);
    // Keys that write no line leave a number of their own (typed, negated, pasted).
    readoutOnTape_ = tape_.recorded() != lines && tape_.ends_with(state_.Readout);
}

void Calculator::press_key(Key key) noexcept {
    switch (key.group) {
        case KeyGroup::Number:
            number_click(key.index);
            break;
        case KeyGroup::Decimal:
            decimal_click();
            break;
        case KeyGroup::Inv:
            inv_click();
            break;
        case KeyGroup::Bs:
            bs_click();
            break;
        case KeyGroup::Operator:
            operator_click(key.index);
            break;
        case KeyGroup::Mem:
            mem_click(key.index);
            break;
        case KeyGroup::Tax:
            tax_click(key.index);
            break;
    }
}

}  // namespace z5calc
