#pragma once

#include <windows.h>

#include <array>

#include "invoice.h"

// The demo's window: a small invoice (請求書) of kLineCount lines (品名, 単価, 数量, 税率, 金額)
// and, below them, per rate the subtotal and its tax, and the total. 単価 and 数量 open the
// calculator (F4, a double-click); 金額 and the totals follow as the lines change.
namespace z5demo {

constexpr int kLineCount = 4;
enum class Column : int { Name, Price, Quantity, Rate, Amount };

class InvoiceForm {
  public:
    // What opening a cell's calculator does: the host's call.
    using OpenCalculator = void (*)(int line, Column column);

    InvoiceForm() = default;
    InvoiceForm(const InvoiceForm&) = delete;
    InvoiceForm& operator=(const InvoiceForm&) = delete;
    ~InvoiceForm();

    // The window, hidden, its controls laid out at its DPI; null when it cannot be made.
    HWND create(HINSTANCE instance, OpenCalculator open);
    HWND hwnd() const { return form_; }
    HWND cell(int line, Column column) const;
    int dpi() const { return dpi_; }

    // The rates (fractions) and the TaxMode the totals are worked with.
    void set_tax(const std::array<double, 2>& rates, int taxMode);
    Rate rate_of(int line) const;
    void set_rate(int line, Rate rate);
    double value(int line, Column column) const;
    void set_value(int line, Column column, double value);
    InvoiceTotals totals() const;
    // Whether every label and total shows its whole text (at any DPI).
    bool texts_fit() const;

  private:
    static LRESULT CALLBACK form_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK cell_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void make_controls(HINSTANCE instance);
    void lay_out();
    void lines_changed();
    bool is_input(HWND control) const;  // a price, a quantity or a rate
    std::array<InvoiceLine, kLineCount> lines() const;

    HWND form_ = nullptr;
    OpenCalculator open_ = nullptr;
    int dpi_ = 96;
    HFONT font_ = nullptr, titleFont_ = nullptr;
    std::array<double, 2> rates_ = {0.1, 0.08};
    int taxMode_ = 0;
    std::array<std::array<HWND, 5>, kLineCount> cells_ = {};
    HWND title_ = nullptr, hint_ = nullptr, note_ = nullptr;
    std::array<HWND, 5> headings_ = {};
    std::array<HWND, 5> totalLabels_ = {}, totalValues_ = {};
};

}  // namespace z5demo
