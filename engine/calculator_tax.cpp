#include <cmath>

#include "calculator.h"
#include "exact_rounding.h"
#include "number_text.h"

// The tax keys and the rate switch.
namespace z5calc {
namespace {

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

}  // namespace z5calc
