#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "calculator.h"
#include "number_text.h"

namespace z5calc {

// What a calculation tells its views, synchronously, once an operation is complete. A view
// overrides what it shows; the rest is ignored.
class CalculationDisplay {
  public:
    // The readout's text changed.
    virtual void readout_changed(const CalcState&) noexcept {}
    // The memory mark came or went.
    virtual void mem_mark_changed(bool) noexcept {}
    // The tax keys use another rate, or the rates were set for a call.
    virtual void rate_changed(TaxRateKind, double) noexcept {}
    // Lines were written at the end of the tape (tape.size() - added is the first of them),
    // after `dropped` of its oldest lines went to make room.
    virtual void tape_lines_added(const Tape&, std::size_t, std::size_t) noexcept {}
    virtual void tape_cleared() noexcept {}
    // A correction wrote the calculation's lines again: any line may have changed.
    virtual void tape_rewritten(const Tape&) noexcept {}
    // The grand total changed (its mark shows while it is not zero).
    virtual void grand_total_changed(double) noexcept {}
    virtual void beep() noexcept {}
    // The readout went to the host: the call is over.
    virtual void transferred(double) noexcept {}

  protected:
    ~CalculationDisplay() = default;
};

// The rates a call works with: fractions (0.1 = 10 %) and the rounding mode of the tax keys.
struct TaxRates {
    double standard = 0.1;
    double reduced = 0.08;
    std::int16_t mode = 0;
};

// The one owner of a calculation: the engine with its memory and tape, the two rates and the one
// in use, the call's opening value and limit, and what it transferred. Every operation comes in
// through a member here; every change goes out to the attached views.
class Calculation final : private CalcDisplay {
  public:
    Calculation() noexcept : calc_(*this) {}
    Calculation(const Calculation&) = delete;
    Calculation& operator=(const Calculation&) = delete;

    // Views are told in the order they were attached; at most kViews at once.
    static constexpr std::size_t kViews = 4;
    bool attach(CalculationDisplay& view) noexcept;
    void detach(CalculationDisplay& view) noexcept;

    // A call opens: the rates and the one in use, then `value` on the readout as a result, with
    // "=" pending, and `limit` (0 for none) on what the transfer accepts. A non-finite value is
    // refused (false) and changes nothing.
    bool open(double value, double limit, const TaxRates& rates, TaxRateKind kind,
              ResultRounding rounding = {}) noexcept;
    // A freshly loaded window shows "0." and no memory mark; the numbers behind them stay.
    void show_fresh() noexcept;

    void press(Key key) noexcept { operate({Step::Kind::Press, key}); }
    // A pasted number on the readout, as the memory recall puts one; false (and a beep) for one
    // the readout cannot show.
    bool paste(double x) noexcept {
        operate({.kind = Step::Kind::Paste, .value = x});
        return in_display_range(x);  // the calculator refuses nothing else
    }
    // The rate switch key: the other rate, and a line on the tape that says which.
    void switch_tax_rate() noexcept { operate({Step::Kind::SwitchRate}); }
    // The host's choice of rate: no line on the tape.
    void set_tax_rate_kind(TaxRateKind kind) noexcept {
        operate({.kind = Step::Kind::SetRate, .rateKind = kind});
    }
    void clear_tape() noexcept;

    // The grand total: every result of "=" and "%" adds to it, across calls. G recalls it onto
    // the readout as a result; G again at once clears it. Both are lines on the tape.
    double grand_total() const noexcept { return gt_; }
    void press_grand_total() noexcept { operate({Step::Kind::GrandTotal}); }
    // The host's clear: no line. Steps before it can no longer be corrected.
    void clear_grand_total() noexcept;
    ResultRounding rounding() const noexcept { return calc_.rounding(); }

    // 訂正. Lines are numbered from the tape's making (Tape::number_of), so that a number stays
    // with its line while older lines drop. A line can be corrected when its number was typed
    // in this calculation (since the call opened or the last AC) and taken by the key that
    // wrote it; results cannot. The correction types `entry` (digits, point, 00, 000, ±, ←) in
    // place of what was typed, and the calculation is worked again from its start: every later
    // line, the memory, the grand total and the readout follow. False, changing nothing, for a
    // line that cannot be corrected (or is gone) or an entry of other keys.
    bool correctable(std::uint64_t line) const noexcept { return entry_of(line).has_value(); }
    // The nearest correctable line before (direction < 0) or after `from`; the newest without.
    std::optional<std::uint64_t> correctable_line(std::optional<std::uint64_t> from,
                                                  int direction) const noexcept;
    bool correct(std::uint64_t line, std::span<const Key> entry) noexcept;
    // Takes back the last correction; false when there is none to take back.
    bool undo_correction() noexcept;
    bool can_undo_correction() const noexcept { return canUndo_; }
    // What `entry` shows typed on a cleared readout: a correction's number before it is made.
    static ReadoutText typed_readout(std::span<const Key> entry) noexcept;

    // The transfer key: "=", then the readout goes to the host if it is a number within the
    // limit. A refusal beeps; the caller says why when it is the limit.
    enum class Transfer : std::uint8_t { Done, NotANumber, OverLimit };
    Transfer transfer() noexcept;
    // What the transfer of this call gave, if it has been made.
    std::optional<double> transferred() const noexcept { return transferred_; }

    const CalcState& state() const noexcept { return calc_.state(); }
    std::string_view readout() const noexcept { return calc_.readout(); }
    const Tape& tape() const noexcept { return calc_.tape(); }
    TaxRateKind tax_rate_kind() const noexcept { return calc_.tax_rate_kind(); }
    double tax_rate() const noexcept { return calc_.tax_rate(); }
    double limit() const noexcept { return calc_.state().mmax; }

    // What a nested call keeps of the call it interrupts and puts back when it ends: the
    // calculation and readout, the rate in use, the limit and the transfer. The memory and its
    // mark stay as the inner call left them, and the tape keeps the inner call's lines.
    struct Interrupted {
        CalcState state;
        TaxRateKind kind = TaxRateKind::Standard;
        std::optional<double> transferred;
    };
    Interrupted interrupt() const noexcept { return {state(), tax_rate_kind(), transferred_}; }
    void resume(const Interrupted& saved) noexcept;

  private:
    class Publish;
    // One operation of the calculation since its start, as it is worked again after a
    // correction. `line` is the tape's count of lines before it ran.
    struct Step {
        enum class Kind : std::uint8_t { Press, Paste, SwitchRate, SetRate, GrandTotal };
        Kind kind = Kind::Press;
        Key key{KeyGroup::Number, 0};
        TaxRateKind rateKind = TaxRateKind::Standard;
        bool corrected = false;  // the number it took was corrected
        double value = 0;
        std::uint64_t line = 0;
    };
    // Beyond, the calculation starts anew: what was done stays, but cannot be corrected.
    static constexpr std::size_t kMaxSteps = 2048;
    struct ChainStart {
        Calculator::Snapshot calc;
        double gt = 0;
        bool gtRecalled = false;
        std::uint64_t line = 0;
    };
    // A step from outside: worked, kept, and told to the views.
    void operate(const Step& step) noexcept;
    void work(Step step) noexcept;
    void run(const Step& step) noexcept;
    void run_grand_total() noexcept;
    void restart_chain() noexcept;
    void replay() noexcept;
    // The steps with `entry` typed in place of what `line` took, the old ones kept for undo.
    bool rewrite_steps(std::uint64_t line, std::span<const Key> entry) noexcept;
    // The tape's count of lines after a step ran.
    std::uint64_t line_after(std::size_t step) const noexcept {
        return step + 1 < stepCount_ ? steps_[step + 1].line : tape().recorded();
    }
    // The step that wrote `line` first, and the first step of the entry typed before it.
    struct EntryOf {
        std::size_t first, step;
    };
    std::optional<EntryOf> entry_of(std::uint64_t line) const noexcept;
    void beep() noexcept override;
    template <class Event>
    void tell(Event&& event) noexcept {
        for (CalculationDisplay* view : views_)
            if (view) event(*view);
    }

    Calculator calc_;
    std::optional<double> transferred_;
    double gt_ = 0;
    bool gtRecalled_ = false;  // the last operation recalled the grand total
    bool replaying_ = false;
    ChainStart chain_;
    // Made at the first step and kept, so that recording never allocates again: the steps,
    // and those before the last correction.
    std::unique_ptr<Step[]> steps_, undo_;
    std::size_t stepCount_ = 0, undoCount_ = 0;
    bool canUndo_ = false;
    std::array<CalculationDisplay*, kViews> views_{};
};

}  // namespace z5calc
