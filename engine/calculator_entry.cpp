#include <cmath>
#include <string_view>

#include "calculator.h"
#include "number_text.h"

// Typing a number: the digits, the point, the sign and backspace.
namespace z5calc {
namespace {

// The first eight digits of a whole number above the display range, as a number.
double first_eight_digits(double magnitude) noexcept {
    return read_number(plain_text(magnitude).view().substr(0, 8)).value_or(0);
}

}  // namespace

void Calculator::number_click(int index) noexcept {
    number_key(index);
}

void Calculator::number_key(int index) noexcept {
    if (index < 0 || index >= static_cast<int>(kNumberTags.size())) return;
    std::string_view tag = kNumberTags[index];
    CalcState& s = state_;

    // A new number begins; the "." is a placeholder that the digits below consume. Digits
    // never join "Error".
    if (s.LastInput != InputKind::Nums || s.Readout == "0." || shows_error(s.Readout.view()))
        s.Readout.assign(".");

    // The length test comes before the digits are added, so "00" and "000" during decimal entry
    // may carry the text to 14 characters.
    if (s.Readout.size() >= 12) {
        s.LastInput = InputKind::Nums;
        return;
    }

    if (s.decimalflag) {
        if (!s.Readout.empty() && s.Readout.view().front() == '.') s.Readout.prepend('0');
        s.Readout.append(tag);
    } else {
        // Only the point goes: the digits join the ones shown, group separators and all.
        ReadoutText joined;
        for (char c : s.Readout.view()) {
            if (c != '.') joined.push_back(c);
        }
        joined.append(tag);
        // A readout that cannot be read here (an opening value in exponent form) is treated
        // as "." would be: the key's digits begin a new number.
        double v = read_number(joined.view()).value_or(read_number(tag).value_or(0));
        // Too many digits: keep the first eight, the sign apart, so that a negative entry
        // is cut as a positive one is and never overflows into "Error".
        if (std::fabs(v) > kDisplayLimit) v = std::copysign(first_eight_digits(std::fabs(v)), v);
        show_number(v);
    }

    if (s.Readout == "00.") s.Readout.assign("0.");
    if (s.LastInput == InputKind::Neg) s.Readout.prepend('-');
    s.LastInput = InputKind::Nums;
}

void Calculator::decimal_click() noexcept {
    CalcState& s = state_;
    if (s.LastInput == InputKind::Neg) {
        s.Readout.assign("-0.");
    } else if (s.LastInput != InputKind::Nums || shows_error(s.Readout.view())) {
        // After a percentage out of range the entry state stays, but the decimals must not
        // be appended to "Error": a new number begins.
        s.Readout.assign("0.");
    }
    s.LastInput = InputKind::Nums;
    s.decimalflag = true;
}

void Calculator::inv_click() noexcept {
    auto v = read_number(state_.Readout.view());
    if (!v) {
        display_.beep();
        return;
    }
    // The displayed text always carries its point, so typing goes on after the negated number;
    // a negation out of range shows plain "Error".
    show_number(-*v);
}

void Calculator::bs_click() noexcept {
    bs_key();
}

// A backspace on a number the tape shows, or on a result, changes what the next key takes: it
// gets a line. One within typing edits an entry that no line holds yet.
void Calculator::bs_key() noexcept {
    const ReadoutText before = state_.Readout;
    const bool onTape = readoutOnTape_ || state_.LastInput != InputKind::Nums;
    bs_edit();
    if (onTape && !(state_.Readout == before)) tape_.record(TapeMark::Backspace, state_.Readout);
}

void Calculator::bs_edit() noexcept {
    CalcState& s = state_;
    ReadoutText text = s.Readout;
    if (shows_error(text.view())) text.assign("0.0");
    if (text == "0.") {
        s.decimalflag = false;
        return;
    }
    // An empty readout (backspace after a lone "-") stays empty.
    if (text.empty()) return;
    // A starting value in exponent form has no last digit to take: taking its last character
    // would change the exponent (1E-324 to 1E-32). It clears.
    if (text.view().find('E') != std::string_view::npos) {
        s.Readout.assign("0.");
        s.decimalflag = false;
        return;
    }
    if (text.view().back() == '.') {
        // The digit before the point goes, and the rest is regrouped.
        text.pop_back();
        text.pop_back();
        text.push_back('.');
        s.decimalflag = false;
        if (text == "-." || text == ".") text.assign("0.");
        // A starting value with more whole digits than the readout holds may still have too
        // many: it clears rather than show "Error".
        const double shortened = read_number(text.view()).value_or(0);
        show_number(in_display_range(shortened) ? shortened : 0);
        return;
    }
    text.pop_back();
    s.Readout = text;
}

}  // namespace z5calc
