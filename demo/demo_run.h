#pragma once

#include <windows.h>

#include <string>
#include <utility>

// The demo's unattended run (z5demo.exe --demo-run OUT): a timer of the form types 1200 X 3 =
// into the unit price's calculator, saves the screen around the form and the calculator as OUT,
// transfers, then sets the quantity to 2; the report says what came of it.
namespace z5demo {

// What the run needs of the form.
struct DemoForm {
    HWND form;
    HWND priceEdit;
    HWND priceButton;
    HWND quantityEdit;
    HWND amountEdit;
    double (*field_value)(HWND edit);
    bool (*labels_fit)();
};

class DemoRun {
  public:
    explicit DemoRun(std::wstring shot) : shot_(std::move(shot)) {}

    // One step, at each tick of the form's timer, which keeps running during the calculator's
    // modal display; true once the run is over and the form is closing.
    bool tick(const DemoForm& f);
    // Prints what happened; 0 when everything did as it should.
    int report(int formDpi) const;

  private:
    std::wstring shot_;
    int step_ = 0;
    int waited_ = 0;
    bool shotOk_ = false;
    bool beside_ = false;
    bool labelsFit_ = false;
    double price_ = 0;
    double amount_ = 0;
};

}  // namespace z5demo
