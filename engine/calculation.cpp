#include "calculation.h"

#include <cmath>
#include <utility>

#include "number_text.h"

namespace z5calc {

// Tells the views once, after an operation is complete, what it changed.
class Calculation::Publish {
  public:
    explicit Publish(Calculation& c, bool rewrite = false) noexcept
        : c_(c),
          rewrite_(rewrite),
          gt_(c.gt_),
          readout_(c.state().Readout),
          memMark_(c.state().memMark),
          kind_(c.tax_rate_kind()),
          rate_(c.tax_rate()),
          recorded_(c.tape().recorded()),
          cleared_(c.tape().cleared()),
          lines_(c.tape().size()) {}
    ~Publish() {
        const CalcState& s = c_.state();
        if (s.memMark != memMark_)
            c_.tell([&](CalculationDisplay& v) { v.mem_mark_changed(s.memMark); });
        if (!(s.Readout == readout_)) c_.tell([&](CalculationDisplay& v) { v.readout_changed(s); });
        if (c_.tax_rate_kind() != kind_ || c_.tax_rate() != rate_) {
            c_.tell(
                [&](CalculationDisplay& v) { v.rate_changed(c_.tax_rate_kind(), c_.tax_rate()); });
        }
        if (c_.gt_ != gt_) c_.tell([&](CalculationDisplay& v) { v.grand_total_changed(c_.gt_); });
        const Tape& tape = c_.tape();
        if (rewrite_) {
            c_.tell([&](CalculationDisplay& v) { v.tape_rewritten(tape); });
            return;
        }
        if (tape.cleared() != cleared_) {
            c_.tell([](CalculationDisplay& v) { v.tape_cleared(); });
            lines_ = 0;
        }
        const auto added = static_cast<std::size_t>(tape.recorded() - recorded_);
        if (added == 0) return;
        // A ring: what did not fit pushed the oldest lines out.
        const std::size_t shown = added < tape.size() ? added : tape.size();
        const std::size_t dropped = lines_ + added - tape.size();
        c_.tell([&](CalculationDisplay& v) { v.tape_lines_added(tape, shown, dropped); });
    }
    Publish(const Publish&) = delete;
    Publish& operator=(const Publish&) = delete;

  private:
    Calculation& c_;
    bool rewrite_;
    double gt_;
    ReadoutText readout_;
    bool memMark_;
    TaxRateKind kind_;
    double rate_;
    std::uint64_t recorded_, cleared_;
    std::size_t lines_;
};

bool Calculation::attach(CalculationDisplay& view) noexcept {
    for (CalculationDisplay*& slot : views_) {
        if (slot == &view) return true;
    }
    for (CalculationDisplay*& slot : views_) {
        if (!slot) {
            slot = &view;
            return true;
        }
    }
    return false;
}

void Calculation::detach(CalculationDisplay& view) noexcept {
    for (CalculationDisplay*& slot : views_) {
        if (slot == &view) slot = nullptr;
    }
}

bool Calculation::open(double value, double limit, const TaxRates& rates, TaxRateKind kind,
                       ResultRounding rounding) noexcept {
    if (!std::isfinite(value)) return false;
    Publish publish(*this);
    calc_.set_tax(rates.standard, rates.mode);
    calc_.set_reduced_tax(rates.reduced);
    calc_.set_tax_rate_kind(kind);
    calc_.set_rounding(rounding);
    calc_.open(value, limit);
    transferred_.reset();
    restart_chain();
    return true;
}

void Calculation::show_fresh() noexcept {
    Publish publish(*this);
    calc_.state().Readout.assign("0.");
    calc_.state().memMark = false;
}

void Calculation::operate(const Step& step) noexcept {
    Publish publish(*this);
    work(step);
}

void Calculation::clear_grand_total() noexcept {
    Publish publish(*this);
    gt_ = 0;
    gtRecalled_ = false;
    // The host took the total: a correction of a step before this would add its results again,
    // so the calculation starts anew here (what was done stays).
    restart_chain();
}

bool Calculation::correct(std::uint64_t line, std::span<const Key> entry) noexcept {
    if (!rewrite_steps(line, entry)) return false;
    Publish publish(*this, true);
    replay();
    return true;
}

ReadoutText Calculation::typed_readout(std::span<const Key> entry) noexcept {
    struct Quiet final : CalcDisplay {
        void beep() noexcept override {}
    } quiet;
    Calculator scratch(quiet);
    for (Key key : entry) scratch.press(key);
    return scratch.state().Readout;
}

bool Calculation::undo_correction() noexcept {
    if (!canUndo_) return false;
    Publish publish(*this, true);
    steps_.swap(undo_);
    stepCount_ = undoCount_;
    canUndo_ = false;
    replay();
    return true;
}

void Calculation::clear_tape() noexcept {
    Publish publish(*this);
    calc_.tape().clear();
    restart_chain();
}

Calculation::Transfer Calculation::transfer() noexcept {
    std::optional<double> value;
    {
        Publish publish(*this);
        // A step like any: a refused transfer leaves the call going, and its "=" is worked
        // again by a later correction.
        work({Step::Kind::Press, {KeyGroup::Operator, kOperatorEquals}});
        value = read_number(readout());
        if (!value) {
            beep();
            return Transfer::NotANumber;
        }
        // A recalled number went out unrounded by "=": the field gets it at its decimals.
        if (const double rounded = round_result(*value, rounding()); rounded != *value) {
            calc_.show_number(rounded);
            value = rounded;
        }
        if (limit() != 0 && std::fabs(*value) > limit()) {
            beep();
            return Transfer::OverLimit;
        }
        calc_.tape().record(TapeMark::Transfer, state().Readout);
        transferred_ = *value;
    }
    // The views have the transfer's line before they hear the call is over.
    tell([&](CalculationDisplay& v) { v.transferred(*value); });
    return Transfer::Done;
}

void Calculation::resume(const Interrupted& saved) noexcept {
    Publish publish(*this);
    CalcState back = saved.state;
    back.mem = state().mem;
    back.memMark = state().memMark;
    calc_.state() = back;
    calc_.set_tax_rate_kind(saved.kind);
    transferred_ = saved.transferred;
    restart_chain();  // the steps before the nested call are not worked again
}

void Calculation::beep() noexcept {
    if (replaying_) return;
    tell([](CalculationDisplay& v) { v.beep(); });
}

}  // namespace z5calc
