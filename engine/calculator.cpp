#include "calculator.h"

#include <cmath>
#include <string_view>

#include "exact_rounding.h"
#include "number_text.h"

namespace z5calc {

namespace {

// Stored for a division by zero and shown for a faulted percentage: beyond the display range,
// so the readout shows "Error".
constexpr double kErrorMarker = 1'234'567'890'123.0;

// The first eight digits of a whole number above the display range, as a number.
double first_eight_digits(double magnitude) noexcept {
    return read_number(plain_text(magnitude).view().substr(0, 8)).value_or(0);
}

// "Error" and whatever was made of it (text appended during decimal entry).
bool holds_error(const ReadoutText& readout) noexcept {
    return readout.view().find("Err") != std::string_view::npos;
}

// How a tax result is rounded: `adv` 0 for the adding direction, 1 for the removing one.
Rounding tax_rounding(std::int16_t mode, std::int16_t adv) noexcept {
    switch (static_cast<std::int16_t>(adv ^ mode)) {
        case 0:
            return Rounding::Down;
        case 1:
            return Rounding::Up;
        case 2:
        case 3:
            return Rounding::HalfUp;
        default:
            return Rounding::None;
    }
}

// A tax key's result computed exactly on the readout's decimal and the rate in thousandths
// (the unit the settings give it in); nothing where either is not exact (an exponent form, a
// rate of finer steps), and the key then computes in binary.
std::optional<double> exact_tax(std::string_view readout, double rate, int index,
                                Rounding rule) noexcept {
    const auto price = exact_decimal(readout);
    const double perMille = rate * 1000;
    const auto rateThousandths = static_cast<std::int64_t>(std::llround(perMille));
    if (!price || !(std::fabs(perMille - static_cast<double>(rateThousandths)) < 1e-6) ||
        price->scale > 12)
        return std::nullopt;
    const std::int64_t unit = kPowersOfTen[price->scale];
    const std::int64_t withTax = 1000 + rateThousandths;
    std::int64_t num = 0, den = 0;
    const bool overflow =
        index == kTaxOut
            ? withTax <= 0 || __builtin_mul_overflow(price->mantissa, 1000, &num) ||
                  __builtin_mul_overflow(unit, withTax, &den)
            : __builtin_mul_overflow(price->mantissa, index == kTaxIn ? withTax : rateThousandths,
                                     &num) ||
                  __builtin_mul_overflow(unit, 1000, &den);
    if (overflow) return std::nullopt;
    return rounded_quotient(num, den, 0, rule);
}

}  // namespace

// Notifies the display once per key, after the key is complete, if anything visible changed.
class Calculator::KeyScope {
  public:
    explicit KeyScope(Calculator& calc) noexcept
        : calc_(calc), readout_(calc.state_.Readout), memMark_(calc.state_.memMark) {}
    ~KeyScope() {
        const CalcState& s = calc_.state_;
        if (!(s.Readout == readout_) || s.memMark != memMark_) calc_.display_.display_changed(s);
    }
    KeyScope(const KeyScope&) = delete;
    KeyScope& operator=(const KeyScope&) = delete;

  private:
    Calculator& calc_;
    ReadoutText readout_;
    bool memMark_;
};

bool Calculator::open(double value, double mmax) noexcept {
    if (!std::isfinite(value)) return false;
    KeyScope scope(*this);
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
    KeyScope scope(*this);
    show_number(x);
    readoutOnTape_ = false;
    return true;
}

void Calculator::number_click(int index) noexcept {
    KeyScope scope(*this);
    number_key(index);
}

void Calculator::number_key(int index) noexcept {
    if (index < 0 || index >= static_cast<int>(kNumberTags.size())) return;
    std::string_view tag = kNumberTags[index];
    CalcState& s = state_;

    // A new number begins; the "." is a placeholder that the digits below consume. Digits
    // never join "Error".
    if (s.LastInput != InputKind::Nums || s.Readout == "0." || holds_error(s.Readout))
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
    KeyScope scope(*this);
    CalcState& s = state_;
    if (s.LastInput == InputKind::Neg) {
        s.Readout.assign("-0.");
    } else if (s.LastInput != InputKind::Nums || holds_error(s.Readout)) {
        // After a percentage out of range the entry state stays, but the decimals must not
        // be appended to "Error": a new number begins.
        s.Readout.assign("0.");
    }
    s.LastInput = InputKind::Nums;
    s.decimalflag = true;
}

void Calculator::inv_click() noexcept {
    KeyScope scope(*this);
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
    KeyScope scope(*this);
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
    if (holds_error(text)) text.assign("0.0");
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

void Calculator::operator_click(int index) noexcept {
    KeyScope scope(*this);
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
                    s.Op2 = percentage;
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

void Calculator::tax_check(double& m, std::int16_t adv) const noexcept {
    switch (tax_rounding(taxMode_, adv)) {
        case Rounding::Down:
            // Only binary results come here (a starting value in exponent form): a residue
            // just short of a whole number counts as that number (1079.99999999 is 1080).
            m = std::floor(m + 0.0004);
            break;
        case Rounding::Up:
            m = std::ceil(m);
            break;
        case Rounding::HalfUp:
            m = std::floor(m + 0.5);
            break;
        case Rounding::None:
            break;
    }
}

void Calculator::tax_click(int index) noexcept {
    if (index < 0 || index >= static_cast<int>(kTaxTags.size())) return;
    KeyScope scope(*this);
    auto read = read_number(state_.Readout.view());
    if (!read) {
        display_.beep();
        return;
    }
    const double v = *read;
    const double rate = tax_rate();
    const std::int16_t adv = index == kTaxOut ? 1 : 0;
    double result = 0;
    if (auto exact = exact_tax(state_.Readout.view(), rate, index, tax_rounding(taxMode_, adv))) {
        result = *exact;
    } else {
        result = index == kTaxIn ? v * (rate + 1) : index == kTaxOut ? v / (rate + 1) : v * rate;
        // Only an absurd rate (from a hand-edited settings file) gets here; the key is refused.
        if (!std::isfinite(result)) {
            display_.beep();
            return;
        }
        tax_check(result, adv);
    }
    const ReadoutText before = state_.Readout;
    show_number(result);
    const TapeMark mark = index == kTaxIn    ? TapeMark::TaxIn
                          : index == kTaxOut ? TapeMark::TaxOut
                                             : TapeMark::TaxAmount;
    if (state_.LastInput == InputKind::Nums && !readoutOnTape_) tape_.record(mark, before, rate);
    tape_.record(mark, state_.Readout, rate);
}

void Calculator::switch_tax_rate() noexcept {
    taxRateKind_ =
        taxRateKind_ == TaxRateKind::Standard ? TaxRateKind::Reduced : TaxRateKind::Standard;
    tape_.record(TapeMark::RateSwitch, ReadoutText{}, tax_rate());
}

void Calculator::mem_click(int index) noexcept {
    KeyScope scope(*this);
    CalcState& s = state_;
    switch (index) {
        case kMemClear:
            // What was cleared, as AC records it; clearing an empty memory changes nothing.
            if (s.mem != 0) {
                tape_.record(TapeMark::MemClear,
                             in_display_range(s.mem) ? display_text(s.mem) : ReadoutText("Error"));
            }
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
            show_number(s.mem);
            tape_.record(TapeMark::MemRecall, s.Readout);
            break;
        default:
            break;
    }
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
