#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "tax_rate_kind.h"

// The demo's invoice (請求書) as numbers: lines at the standard or the reduced rate, and per
// rate the subtotal and its tax, rounded once per rate as qualified invoices state it.
// Portable, so that the sums are tested natively.
namespace z5demo {

// The calculator's own two rates, in the numbers the component's TaxRateKind takes.
using Rate = z5calc::TaxRateKind;

struct InvoiceLine {
    double price = 0;
    double quantity = 0;
    Rate rate = Rate::Standard;
    double amount() const { return price * quantity; }
};

struct RateTotal {
    double subtotal = 0;
    double tax = 0;
};

struct InvoiceTotals {
    std::array<RateTotal, 2> byRate;  // indexed by Rate
    double total = 0;                 // subtotals and taxes together
};

// The tax on an amount by the host's TaxMode, as the calculator's tax keys round it: 0 down,
// 1 up, 2 and 3 half up, 4 and more not rounded. Float noise (1500 × 0.1 =
// 150.00000000000003) is no fraction: it never rounds up.
double rounded_tax(double amount, double rate, int taxMode);

template <std::size_t N>
InvoiceTotals invoice_totals(const std::array<InvoiceLine, N>& lines,
                             const std::array<double, 2>& rates, int taxMode) {
    InvoiceTotals t;
    for (const InvoiceLine& line : lines)
        t.byRate[static_cast<int>(line.rate)].subtotal += line.amount();
    for (std::size_t r = 0; r < 2; ++r) {
        t.byRate[r].tax = rounded_tax(t.byRate[r].subtotal, rates[r], taxMode);
        t.total += t.byRate[r].subtotal + t.byRate[r].tax;
    }
    return t;
}

// An amount as the invoice shows it: digits in groups of three, "1,234" or "1,234.5".
std::wstring yen_text(double amount);

}  // namespace z5demo
