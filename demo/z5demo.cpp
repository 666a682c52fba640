// z5demo.exe: a small invoice (請求書) whose unit prices and quantities open the z5calc
// calculator with F4 or a double-click, at the line's tax rate. Unit prices call the component
// through its interface; quantities call it late bound, as a script or VB host does. Amounts,
// the subtotal and tax of each rate (rounded once per rate by the demo's TaxMode) and the
// total follow.
//
//   z5demo.exe                  the invoice, for a user
//   z5demo.exe --demo-run OUT   fills two lines through the calculator by itself, saves the
//                               screen as OUT (BMP) while the calculator is open, and exits 0
//                               when the invoice came out right and the calculator showed
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>

#include <initguid.h>  // makes z5calcD.h define CLSID_zelcalc and the interfaces' IIDs here

#include "demo_run.h"
#include "invoice_form.h"
#include "z5calcD.h"

namespace {

using z5demo::Column;
constexpr wchar_t kTitle[] = L"z5calc demo";
constexpr UINT_PTR kDemoTimer = 1;

_zelcalc2* calculator = nullptr;
_zelcalc3* rounding = nullptr;  // none from a DLL older than _zelcalc3
z5demo::InvoiceForm invoice;
std::unique_ptr<z5demo::DemoRun> demoRun;  // with --demo-run
std::wstring settingsFile;

std::wstring folder_of_exe() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s = path;
    return s.substr(0, s.rfind(L'\\') + 1);
}

// The user's own settings folder for the demo (Program Files is not writable): the same
// per-user folder the component keeps its own settings in.
std::wstring settings_folder() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return folder_of_exe();
    std::wstring folder = std::wstring(appData) + L"\\qorvan\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// The rates the next call takes, from the component, and the demo's own rounding rule.
void refresh_tax() {
    double standard = 0.1, reduced = 0.08;
    calculator->get_TaxRate(&standard);
    calculator->get_ReducedTaxRate(&reduced);
    const int mode =
        static_cast<int>(GetPrivateProfileIntW(L"Setup", L"TaxMode", 0, settingsFile.c_str()));
    invoice.set_tax({standard, reduced}, mode < 0 ? 0 : mode);
}

// Where the calculator goes, in screen twips as the component takes it: level with the cell,
// its left edge just right of the invoice, so that the whole line and the totals stay in view.
// The component puts the calculator's left edge at Wleft, centres it on the rectangle's height
// and keeps it on the screen.
windowstay field_rectangle(HWND cell) {
    RECT field = {}, form = {};
    GetWindowRect(cell, &field);
    GetWindowRect(invoice.hwnd(), &form);
    HDC dc = GetDC(nullptr);
    const float tx = 1440.0f / GetDeviceCaps(dc, LOGPIXELSX);
    const float ty = 1440.0f / GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    constexpr int kGap = 4;
    return {field.top * ty, (form.right + kGap) * tx, 0, (field.bottom - field.top) * ty};
}

HRESULT show_late_bound(double& m, windowstay& ws, double& mmax, double& result) {
    IDispatch* dispatch = nullptr;
    HRESULT hr = calculator->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (FAILED(hr)) return hr;
    OLECHAR* name = const_cast<OLECHAR*>(L"showcalc");
    DISPID id = 0;
    hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    // The record travels with its description, taken from the type library.
    ITypeInfo* info = nullptr;
    IRecordInfo* record = nullptr;
    if (SUCCEEDED(hr)) {
        ITypeInfo* classInfo = nullptr;
        ITypeLib* library = nullptr;
        UINT index = 0;
        hr = dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &classInfo);
        if (SUCCEEDED(hr)) hr = classInfo->GetContainingTypeLib(&library, &index);
        // Found by its name, as any host that has only the public header finds it.
        OLECHAR recordName[] = L"windowstay";
        MEMBERID member = 0;
        USHORT found = 1;
        if (SUCCEEDED(hr)) hr = library->FindName(recordName, 0, &info, &member, &found);
        if (SUCCEEDED(hr) && found == 0) hr = TYPE_E_ELEMENTNOTFOUND;
        if (SUCCEEDED(hr)) hr = GetRecordInfoFromTypeInfo(info, &record);
        if (library) library->Release();
        if (classInfo) classInfo->Release();
    }
    if (SUCCEEDED(hr)) {
        VARIANT args[3];
        args[2].vt = VT_R8 | VT_BYREF;
        args[2].pdblVal = &m;
        args[1].vt = VT_RECORD | VT_BYREF;
        args[1].pvRecord = &ws;
        args[1].pRecInfo = record;
        args[0].vt = VT_R8 | VT_BYREF;
        args[0].pdblVal = &mmax;
        DISPPARAMS params = {args, nullptr, 3, 0};
        VARIANT out;
        VariantInit(&out);
        EXCEPINFO error = {};
        hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &out,
                              &error, nullptr);
        if (SUCCEEDED(hr)) result = out.dblVal;
        SysFreeString(error.bstrDescription);
        SysFreeString(error.bstrSource);
        SysFreeString(error.bstrHelpFile);
    }
    if (record) record->Release();
    if (info) info->Release();
    dispatch->Release();
    return hr;
}

void open_calculator(int line, Column column) {
    HWND cell = invoice.cell(line, column);
    const bool quantity = column == Column::Quantity;
    double m = invoice.value(line, column), mmax = quantity ? 9999 : 99999999, result = m;
    windowstay ws = field_rectangle(cell);
    // The calculator's tax keys start at the line's rate.
    HRESULT hr = calculator->put_TaxRateKind(static_cast<LONG>(invoice.rate_of(line)));
    // A unit price is whole yen and a quantity has two decimals: the calculator rounds its
    // results (a price worked out as 1,000 ÷ 3) to them, half up, as the invoice would.
    if (SUCCEEDED(hr) && rounding) hr = rounding->put_Decimals(quantity ? 2 : 0);
    if (SUCCEEDED(hr) && rounding) hr = rounding->put_Rounding(2);
    if (SUCCEEDED(hr)) {
        hr = quantity ? show_late_bound(m, ws, mmax, result)
                      : calculator->showcalc(&m, &ws, &mmax, &result);
    }
    if (FAILED(hr)) {
        wchar_t text[64];
        swprintf(text, 64, L"The calculator failed (0x%08lX).", static_cast<unsigned long>(hr));
        MessageBoxW(invoice.hwnd(), text, kTitle, MB_ICONEXCLAMATION);
        return;
    }
    invoice.set_value(line, column, result);
    refresh_tax();  // the settings file may have changed meanwhile
    SetFocus(cell);
}

// The demo's own settings: 10 % and 8 %, rounded down, messages through the companion.
void write_default_settings(const std::wstring& ini) {
    if (GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    WritePrivateProfileStringW(L"Setup", L"Tax", L"100", ini.c_str());
    WritePrivateProfileStringW(L"Setup", L"ReducedTax", L"80", ini.c_str());
    WritePrivateProfileStringW(L"Setup", L"TaxMode", L"0", ini.c_str());
    WritePrivateProfileStringW(L"Setup", L"MsgMode", L"0", ini.c_str());
}

void CALLBACK demo_tick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (demoRun && demoRun->tick(invoice)) KillTimer(nullptr, timer);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc >= 3 && std::wstring(argv[1]) == L"--demo-run") {
        demoRun = std::make_unique<z5demo::DemoRun>(argv[2]);
    }
    LocalFree(argv);

    CoInitialize(nullptr);
    HRESULT hr = CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc2,
                                  reinterpret_cast<void**>(&calculator));
    if (FAILED(hr)) {
        wchar_t text[128];
        swprintf(text, 128, L"z5calcD.zelcalc cannot be created (0x%08lX).",
                 static_cast<unsigned long>(hr));
        if (!demoRun) MessageBoxW(nullptr, text, kTitle, MB_ICONSTOP);
        std::fwprintf(stderr, L"%ls\n", text);
        return 1;
    }
    calculator->QueryInterface(IID__zelcalc3, reinterpret_cast<void**>(&rounding));
    settingsFile = settings_folder() + L"z5demo.ini";
    write_default_settings(settingsFile);
    BSTR name = SysAllocString(settingsFile.c_str());
    calculator->SetAppName(name);
    SysFreeString(name);
    // Only a help file that is there: F1 in the calculator opens it.
    const std::wstring helpFile = folder_of_exe() + L"z5demo.chm";
    if (GetFileAttributesW(helpFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        BSTR help = SysAllocString(helpFile.c_str());
        calculator->SetHelpFile(help, 1000);
        SysFreeString(help);
    }

    HWND form = invoice.create(instance, open_calculator);
    if (!form) return 1;
    refresh_tax();
    ShowWindow(form, demoRun ? SW_SHOWNORMAL : show);
    if (demoRun) SetTimer(nullptr, 0, 100, demo_tick);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const int status = demoRun ? demoRun->report() : 0;
    if (rounding) rounding->Release();
    calculator->Release();
    CoUninitialize();
    return status;
}
