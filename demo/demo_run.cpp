#include "demo_run.h"

#include <oleacc.h>

#include <cstdio>

#include "screen_capture.h"

namespace z5demo {
namespace {

enum class Act { Open, Type, PressTaxOut, Shot, Transfer };
struct Step {
    Act act;
    int line = 0;
    Column column = Column::Price;
    const wchar_t* keys = L"";
};
constexpr Step kSteps[] = {
    {Act::Open, 0, Column::Price},
    {Act::Type, 0, Column::Price, L"1001/2="},  // 500.5: a unit price, whole yen, 501
    {Act::Transfer},
    {Act::Open, 0, Column::Quantity},
    {Act::Type, 0, Column::Price, L"3"},
    {Act::Transfer},
    {Act::Open, 1, Column::Price},
    {Act::Type, 0, Column::Price, L"1080"},
    {Act::PressTaxOut},
    {Act::Shot},
    {Act::Transfer},
    {Act::Open, 1, Column::Quantity},
    {Act::Type, 0, Column::Price, L"2"},
    {Act::Transfer},
};

// IAccessible's IID, stated here: MinGW's liboleacc.a gives IID_IAccessible as data imported
// from oleacc.dll, which without dllimport is the address of a jump thunk, not the GUID.
constexpr IID kAccessibleIid = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Presses the calculator's key of that accessible name through its accessible object.
bool press_named_key(HWND calc, const wchar_t* name) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(calc, static_cast<DWORD>(OBJID_CLIENT), kAccessibleIid,
                                          reinterpret_cast<void**>(&acc)))) {
        return false;
    }
    long count = 0;
    acc->get_accChildCount(&count);
    bool pressed = false;
    for (long i = 1; i <= count && !pressed; ++i) {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = i;
        BSTR text = nullptr;
        if (acc->get_accName(child, &text) == S_OK && text && std::wstring(text) == name)
            pressed = acc->accDoDefaultAction(child) == S_OK;
        SysFreeString(text);
    }
    acc->Release();
    return pressed;
}

}  // namespace

bool DemoRun::take_shot(const InvoiceForm& form, HWND calc) {
    // Bare skin, the drag colour: (5, 100) of the 96-DPI layout, at the window's scale.
    RECT client = {};
    GetClientRect(calc, &client);
    POINT skin = {5 * client.right / 210, 100 * client.bottom / 273};
    ClientToScreen(calc, &skin);
    shotOk_ = z5calc::screen_pixel(skin) == RGB(0x50, 0xC0, 0x50);
    // A busy machine may show the paint later: up to three more seconds.
    if (!shotOk_ && ++waited_ < 30) return false;
    RECT area = {}, calcArea = {}, field = {};
    GetWindowRect(form.hwnd(), &area);
    GetWindowRect(calc, &calcArea);
    GetWindowRect(form.cell(1, Column::Price), &field);
    beside_ = calcArea.left >= field.right;  // the field stays in view
    UnionRect(&area, &area, &calcArea);
    InflateRect(&area, 8, 8);
    if (!z5calc::save_windows_bmp(shot_.c_str(), area, {form.hwnd(), calc})) shotOk_ = false;
    return true;
}

bool DemoRun::tick(InvoiceForm& form) {
    HWND calc = FindWindowW(L"z5calc.frmCalc", nullptr);
    const bool shown = calc && IsWindowVisible(calc);
    if (step_ == std::size(kSteps)) {
        if (calc) return false;
        paper_ = form.value(0, Column::Amount);
        tea_ = form.value(1, Column::Amount);
        totals_ = form.totals();
        textsFit_ = form.texts_fit();
        dpi_ = form.dpi();
        PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
        return true;
    }
    const Step& s = kSteps[step_];
    if (s.act == Act::Open) {
        if (calc) return false;  // the last call is still ending
        PostMessageW(form.cell(s.line, s.column), WM_KEYDOWN, VK_F4, 0);
    } else if (!shown) {
        return false;
    } else if (s.act == Act::Type) {
        for (const wchar_t* k = s.keys; *k; ++k) PostMessageW(calc, WM_CHAR, *k, 0);
    } else if (s.act == Act::PressTaxOut) {
        pressed_ = press_named_key(calc, L"\u7A0E\u5225");  // 税別
    } else if (s.act == Act::Shot) {
        // Painted windows reach the screen a moment later.
        if (++waited_ < 5 || !take_shot(form, calc)) return false;
    } else {
        PostMessageW(calc, WM_CHAR, L'\r', 0);
    }
    ++step_;
    return false;
}

int DemoRun::report() const {
    const InvoiceTotals& t = totals_;
    const double paper = paper_, tea = tea_;
    std::printf(
        "demo run: paper 1001/2= (whole yen) x 3 gave %g at 10%%, tea 1080 tax-excluded at 8%% x 2 "
        "gave %g "
        "(key pressed: %s); 10%% subtotal %g tax %g, 8%% subtotal %g tax %g, total %g; the "
        "calculator %s beside the field; screenshot %s; at %d DPI the texts %s\n",
        paper, tea, pressed_ ? "yes" : "no", t.byRate[0].subtotal, t.byRate[0].tax,
        t.byRate[1].subtotal, t.byRate[1].tax, t.total, beside_ ? "opened" : "did not open",
        shotOk_ ? "shows the calculator" : "does not show the calculator", dpi_,
        textsFit_ ? "fit" : "are cut off");
    const bool sums = paper == 1503 && tea == 2000 && t.byRate[0].subtotal == 2103 &&
                      t.byRate[0].tax == 210 && t.byRate[1].subtotal == 2440 &&
                      t.byRate[1].tax == 195 && t.total == 4948;
    return sums && pressed_ && beside_ && shotOk_ && textsFit_ ? 0 : 1;
}

}  // namespace z5demo
