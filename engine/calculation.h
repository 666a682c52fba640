#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "calculator.h"

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
    bool open(double value, double limit, const TaxRates& rates, TaxRateKind kind) noexcept;
    // A freshly loaded window shows "0." and no memory mark; the numbers behind them stay.
    void show_fresh() noexcept;

    void press(Key key) noexcept;
    // A pasted number on the readout, as the memory recall puts one; false (and a beep) for one
    // the readout cannot show.
    bool paste(double x) noexcept;
    // The rate switch key: the other rate, and a line on the tape that says which.
    void switch_tax_rate() noexcept;
    // The host's choice of rate: no line on the tape.
    void set_tax_rate_kind(TaxRateKind kind) noexcept;
    void clear_tape() noexcept;

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
    void beep() noexcept override;
    template <class Event>
    void tell(Event&& event) noexcept {
        for (CalculationDisplay* view : views_)
            if (view) event(*view);
    }

    Calculator calc_;
    std::optional<double> transferred_;
    std::array<CalculationDisplay*, kViews> views_{};
};

}  // namespace z5calc
