#include "invoice.h"

#include <array>

#include <gtest/gtest.h>

namespace z5demo {
namespace {

TEST(Invoice, TaxIsRoundedOncePerRateByTheTaxMode) {
    struct Case {
        double amount, rate;
        int mode;
        double tax;
    };
    const Case cases[] = {
        {1500, 0.1, 0, 150},  {1500, 0.1, 1, 150},  // 150.00000000000003 is no fraction
        {2440, 0.08, 0, 195}, {2440, 0.08, 1, 196}, {2440, 0.08, 2, 195},   {2440, 0.08, 4, 195.2},
        {999, 0.08, 0, 79},   {999, 0.08, 1, 80},   {1006.25, 0.08, 3, 81}, {0, 0.1, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(rounded_tax(c.amount, c.rate, c.mode), c.tax)
            << c.amount << " at " << c.rate << " mode " << c.mode;
    }
}

TEST(Invoice, LinesAreSummedPerRateBeforeTheTax) {
    // Three lines at 8 %: 33 + 33 + 34 give 8 of tax once; rounded per line they would give 6.
    const std::array<InvoiceLine, 4> lines = {{{33, 1, Rate::Reduced},
                                               {33, 1, Rate::Reduced},
                                               {17, 2, Rate::Reduced},
                                               {120, 5, Rate::Standard}}};
    const InvoiceTotals t = invoice_totals(lines, {0.1, 0.08}, 0);
    EXPECT_EQ(t.byRate[1].subtotal, 100);
    EXPECT_EQ(t.byRate[1].tax, 8);
    EXPECT_EQ(t.byRate[0].subtotal, 600);
    EXPECT_EQ(t.byRate[0].tax, 60);
    EXPECT_EQ(t.total, 768);
}

TEST(Invoice, AmountsAreShownInGroupsOfThree) {
    const std::pair<double, const wchar_t*> rows[] = {
        {0, L"0"},         {999, L"999"},      {1000, L"1,000"},          {4945, L"4,945"},
        {195.2, L"195.2"}, {-1234, L"-1,234"}, {12345678, L"12,345,678"}, {0.5, L"0.5"}};
    for (const auto& [amount, text] : rows) EXPECT_EQ(yen_text(amount), text) << amount;
}

}  // namespace
}  // namespace z5demo
