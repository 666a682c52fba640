// A C++ host calling the calculator through the type library's interface (early binding).
// Build: g++ showcalc_early.cpp -o showcalc_early.exe -lole32 -loleaut32 -luser32 -lgdi32 -luuid
//        (or cl showcalc_early.cpp ole32.lib oleaut32.lib user32.lib gdi32.lib)
// with z5calcD.h from the package beside it, and z5calcD.dll registered (regsvr32 or regcalc).
#include <windows.h>
#include <initguid.h>  // makes z5calcD.h define CLSID_zelcalc and the interfaces' IIDs here

#include <cstdio>

#include "z5calcD.h"

// The error's own description, as the component sets it, with its number.
void report(const char* what, HRESULT hr) {
    IErrorInfo* info = nullptr;
    BSTR text = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        info->GetDescription(&text);
        info->Release();
    }
    std::printf("%s failed (0x%08lX): %ls\n", what, static_cast<unsigned long>(hr),
                text ? text : L"no description");
    SysFreeString(text);
}

// [readme]
// Where the calculator goes, in screen twips: level with the field and just to its right.
windowstay beside(HWND field) {
    RECT r = {};
    GetWindowRect(field, &r);  // screen pixels
    HDC screen = GetDC(nullptr);
    const float tx = 1440.0f / GetDeviceCaps(screen, LOGPIXELSX);
    const float ty = 1440.0f / GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    windowstay ws;
    ws.Wtop = r.top * ty;
    ws.Wleft = r.right * tx;
    ws.Wwidth = (r.right - r.left) * tx;
    ws.Wheight = (r.bottom - r.top) * ty;
    return ws;
}

// Opens the calculator for the field with its value; true and the new value on a transfer.
bool calculate(_zelcalc* calc, HWND field, double& value) {
    double m = value, mmax = 99999999, result = 0;  // mmax: the largest value accepted, 0: any
    windowstay ws = beside(field);
    HRESULT hr = calc->showcalc(&m, &ws, &mmax, &result);
    if (FAILED(hr)) {
        report("showcalc", hr);
        return false;
    }
    value = result;  // the starting value when the user closed without transferring
    return true;
}
// [/readme]

int main() {
    HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr)) return report("CoInitialize", hr), 1;
    // The host's field: a real edit control in a window of the host.
    HWND form = CreateWindowExW(0, L"STATIC", L"Order", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                320, 120, nullptr, nullptr, nullptr, nullptr);
    HWND field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"1200", WS_CHILD | WS_VISIBLE, 20, 20,
                                 150, 24, form, nullptr, nullptr, nullptr);
    int status = 1;
    // _zelcalc2 adds the tax rate properties to _zelcalc (a DLL older than them gives
    // E_NOINTERFACE here; _zelcalc alone still works).
    _zelcalc2* calc = nullptr;
    hr = CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc2,
                          reinterpret_cast<void**>(&calc));
    if (FAILED(hr)) {
        report("CoCreateInstance of z5calcD.zelcalc (is z5calcD.dll registered?)", hr);
    } else {
        BSTR app = SysAllocString(L"examplehost");  // reads examplehost.ini in the settings folder
        hr = calc->SetAppName(app);
        SysFreeString(app);
        double value = 1200, reduced = 0;
        // The line is food: the tax keys start at the reduced rate (F8 switches on screen).
        if (SUCCEEDED(hr)) hr = calc->put_TaxRateKind(1);
        if (SUCCEEDED(hr)) hr = calc->get_ReducedTaxRate(&reduced);
        // _zelcalc3 (a DLL older than it answers E_NOINTERFACE): the field holds whole yen, so
        // the results come rounded to 0 decimals, half away from zero.
        _zelcalc3* calc3 = nullptr;
        if (SUCCEEDED(hr) &&
            SUCCEEDED(calc->QueryInterface(IID__zelcalc3, reinterpret_cast<void**>(&calc3)))) {
            hr = calc3->put_Decimals(0);
            if (SUCCEEDED(hr)) hr = calc3->put_Rounding(2);
        }
        if (FAILED(hr)) {
            report("SetAppName or the tax rate", hr);
        } else if (calculate(calc, field, value)) {
            LONG kind = 0;
            calc->get_TaxRateKind(&kind);
            std::printf("The calculator gave %g\n", value);
            std::printf("It closed at the %s rate (reduced: %g %%)\n",
                        kind == 1 ? "reduced" : "standard", reduced * 100);
            // The results of = and % over this host's calls: an invoice's total.
            double total = 0;
            if (calc3 && SUCCEEDED(calc3->get_GrandTotal(&total)))
                std::printf("Grand total: %g\n", total);
            status = 0;
        }
        if (calc3) calc3->Release();
        calc->Release();
    }
    DestroyWindow(form);
    CoUninitialize();
    return status;
}
