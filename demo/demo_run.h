#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "invoice_form.h"

// The demo's unattended run (z5demo.exe --demo-run OUT): a timer of the form fills the first
// two lines of the invoice through the calculator, as a user would: 450+50= for the paper's
// price and 3 for its quantity at 10 %; for the tea, at 8 %, 1080 and 税別 (pressed through the
// calculator's accessible object, as a screen reader does) for its price and 2 for its
// quantity. While the tea's calculator shows 1,000 at the reduced rate it saves the screen
// around the form and the calculator as OUT; the report says what came of it.
namespace z5demo {

class DemoRun {
  public:
    explicit DemoRun(std::wstring shot) : shot_(std::move(shot)) {}

    // One step, at each tick of the form's timer, which keeps running during the calculator's
    // modal display; true once the run is over and the form is closing.
    bool tick(InvoiceForm& form);
    // Prints what happened; 0 when everything did as it should.
    int report() const;

  private:
    bool take_shot(const InvoiceForm& form, HWND calc);

    std::wstring shot_;
    std::size_t step_ = 0;
    int waited_ = 0;
    bool shotOk_ = false;
    bool beside_ = false;
    bool pressed_ = false;
    // The invoice as it stood when the run closed it.
    double paper_ = 0, tea_ = 0;
    InvoiceTotals totals_;
    bool textsFit_ = false;
    int dpi_ = 0;
};

}  // namespace z5demo
