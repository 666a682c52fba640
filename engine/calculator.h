#pragma once

#include <cstdint>

#include "calc_state.h"
#include "exact_rounding.h"
#include "keys.h"
#include "tape.h"
#include "tax_rate_kind.h"

namespace z5calc {

// What the engine tells its front end, synchronously from inside a key operation.
class CalcDisplay {
  public:
    virtual void beep() noexcept = 0;

  protected:
    ~CalcDisplay() = default;
};

// The desk calculator: one operation per key, working on a CalcState whose readout text is
// the entry buffer. Refused keys beep through the display and change nothing else.

class Calculator {
  public:
    explicit Calculator(CalcDisplay& display) noexcept : display_(display) {}
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    CalcState& state() noexcept { return state_; }
    const CalcState& state() const noexcept { return state_; }
    std::string_view readout() const noexcept { return state_.Readout.view(); }
    // The steps so far: keys record into it as they work; the window adds the transfer.
    Tape& tape() noexcept { return tape_; }
    const Tape& tape() const noexcept { return tape_; }

    // Tax rate as a fraction (0.1 = 10 %) and rounding mode, fixed for one calculator call.
    void set_tax(double rate, std::int16_t mode) noexcept {
        taxRate_ = rate;
        taxMode_ = mode;
    }
    // The reduced rate beside it (Japan's 8 % beside 10 %), rounded by the same mode.
    void set_reduced_tax(double rate) noexcept { reducedTaxRate_ = rate; }
    // Which of the two the tax keys use. Switching changes nothing of the calculation.
    TaxRateKind tax_rate_kind() const noexcept { return taxRateKind_; }
    void set_tax_rate_kind(TaxRateKind kind) noexcept { taxRateKind_ = kind; }
    // The rate switch key: the other rate, and a line on the tape that says which.
    void switch_tax_rate() noexcept;
    // The rate of a kind, and the one the tax keys use now, as fractions.
    double tax_rate(TaxRateKind kind) const noexcept {
        return kind == TaxRateKind::Reduced ? reducedTaxRate_ : taxRate_;
    }
    double tax_rate() const noexcept { return tax_rate(taxRateKind_); }

    // The whole of the calculator that a replay starts from.
    struct Snapshot {
        CalcState state;
        bool readoutOnTape = false;
        TaxRateKind kind = TaxRateKind::Standard;
    };
    Snapshot snapshot() const noexcept { return {state_, readoutOnTape_, taxRateKind_}; }
    void restore(const Snapshot& s) noexcept {
        state_ = s.state;
        readoutOnTape_ = s.readoutOnTape;
        taxRateKind_ = s.kind;
    }
    // A number recalled onto the readout with its line, as MR recalls the memory.
    void recall(double x, TapeMark mark) noexcept;
    // The line of a clear: what it cleared.
    void record_cleared(TapeMark mark, double x) noexcept;

    // How the results of the operators are rounded; what is typed is taken as it is.
    void set_rounding(ResultRounding rounding) noexcept { rounding_ = rounding; }
    ResultRounding rounding() const noexcept { return rounding_; }

    // Puts the calculator in the state of a freshly opened call: the starting value on the
    // readout as a result, with "=" pending. A non-finite value is refused (false, no change).
    bool open(double value, double mmax) noexcept;

    // Runs the click operation of a key; an index beyond its group does nothing.
    void press(Key key) noexcept;

    // Puts a pasted number on the readout as the memory recall does, for the next operator. A
    // value the readout cannot show beeps and changes nothing (false).
    bool paste(double x) noexcept;

    // Writes x to the readout; a value out of range shows "Error" and resets the calculation.
    void show_number(double x) noexcept;

    // Rounds m to a whole number by the tax mode; adv is 0 for the adding direction (price
    // with tax, tax amount) and 1 for the removing direction (price without tax).
    void tax_check(double& m, std::int16_t adv) const noexcept;

  private:
    void number_click(int index) noexcept;
    void decimal_click() noexcept;
    void inv_click() noexcept;
    void bs_click() noexcept;
    void operator_click(int index) noexcept;
    void tax_click(int index) noexcept;
    void mem_click(int index) noexcept;

    void number_key(int index) noexcept;
    void bs_key() noexcept;
    void bs_edit() noexcept;
    void press_key(Key key) noexcept;
    void operator_key(int index) noexcept;
    void record_operator(int index, const ReadoutText& before, bool typed) noexcept;
    void record_result(TapeMark mark, const ReadoutText& before) noexcept;

    CalcDisplay& display_;
    CalcState state_;
    Tape tape_;
    // The readout holds the number the last key wrote on the tape (a result, a tax key's, the
    // starting value), so a key that takes it as typed does not write it again.
    bool readoutOnTape_ = false;
    double taxRate_ = 0.1;
    double reducedTaxRate_ = 0.08;
    TaxRateKind taxRateKind_ = TaxRateKind::Standard;
    std::int16_t taxMode_ = 0;
    ResultRounding rounding_;
};

}  // namespace z5calc
