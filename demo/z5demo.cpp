// z5demo.exe: a small order form whose numeric fields open the z5calc calculator with F4, a
// double-click or the button beside them. Unit price and quantity call the component through
// its type library's interface; the amount calls it late bound, as a script or VB host does.
//
//   z5demo.exe                  the form, for a user
//   z5demo.exe --demo-run OUT   works one calculation by itself, saves the screen as OUT (BMP)
//                               while the calculator is open, and exits 0 when the field got
//                               the right value and the calculator showed its skin
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlobj.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include <initguid.h>  // makes z5calcD.h define CLSID_zelcalc and IID__zelcalc here

#include "demo_run.h"
#include "z5calcD.h"

namespace {

constexpr wchar_t kTitle[] = L"z5calc demo";
constexpr int kFieldCount = 3;
constexpr UINT_PTR kDemoTimer = 1;
constexpr int kEditId = 200;  // the fields' control ids: kEditId + index
constexpr int kPrice = 0, kQuantity = 1, kAmount = 2;

struct Field {
    const wchar_t* label;
    double limit;
    bool lateBound;
    HWND labelWindow = nullptr;
    HWND edit = nullptr;
    HWND button = nullptr;
};
Field fields[kFieldCount] = {
    {L"Unit price", 99999999, false}, {L"Quantity", 9999, false}, {L"Amount", 99999999, true}};
static_assert(kFieldCount == 3 && kAmount == kFieldCount - 1);

_zelcalc* calculator = nullptr;
HWND form = nullptr;
WNDPROC editProc = nullptr;
std::unique_ptr<z5demo::DemoRun> demoRun;  // with --demo-run
int formDpi = 96;
HFONT formFont = nullptr;  // the form's font at formDpi

// The DPI of the form's own window (a per-monitor aware program), else the screen's.
int window_dpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi && hwnd) {
        if (const UINT dpi = get_dpi(hwnd)) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

// A length of the 96-DPI form at the form's DPI.
int dp(int v) {
    return MulDiv(v, formDpi, 96);
}

// Places the form's controls and gives them an 8-point font, both at formDpi.
void lay_out_form() {
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfHeight = -MulDiv(8, formDpi, 72);
    lf.lfWidth = 0;
    HFONT font = CreateFontIndirectW(&lf);
    for (int i = 0; i < kFieldCount; ++i) {
        const int y = dp(16 + i * 34);
        MoveWindow(fields[i].labelWindow, dp(12), y + dp(4), dp(80), dp(20), TRUE);
        MoveWindow(fields[i].edit, dp(96), y, dp(150), dp(24), TRUE);
        MoveWindow(fields[i].button, dp(252), y, dp(40), dp(24), TRUE);
        for (HWND w : {fields[i].labelWindow, fields[i].edit, fields[i].button}) {
            SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        }
    }
    if (formFont) DeleteObject(formFont);
    formFont = font;
    RECT outer = {0, 0, dp(306), dp(16 + kFieldCount * 34 + 8)};
    AdjustWindowRectEx(&outer, GetWindowLongW(form, GWL_STYLE), FALSE, 0);
    SetWindowPos(form, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Whether every label shows its whole text: checked by the demo run at any DPI.
bool labels_fit() {
    for (const Field& f : fields) {
        RECT r = {};
        GetClientRect(f.labelWindow, &r);
        HDC dc = GetDC(f.labelWindow);
        HGDIOBJ old = SelectObject(dc, formFont);
        SIZE size = {};
        GetTextExtentPoint32W(dc, f.label, static_cast<int>(wcslen(f.label)), &size);
        SelectObject(dc, old);
        ReleaseDC(f.labelWindow, dc);
        if (size.cx > r.right || size.cy > r.bottom) return false;
    }
    return true;
}

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

// The field's text as a number; commas are digit-group separators.
double field_value(HWND edit) {
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    std::string digits;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c != L',') digits += static_cast<char>(*c);
    }
    double value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

void set_field_value(HWND edit, double value) {
    char text[64] = {};
    auto end = std::to_chars(text, text + sizeof(text) - 1, value).ptr;
    *end = '\0';
    SetWindowTextA(edit, text);
}

// Where the calculator goes, in screen twips as the component takes it: level with the field
// and beside it, its left edge just after the field's button, so that the field and its label
// stay in view. The component puts the calculator's left edge at Wleft and centres it on the
// rectangle's height.
windowstay field_rectangle(HWND edit, HWND button) {
    RECT field = {}, after = {};
    GetWindowRect(edit, &field);
    GetWindowRect(button, &after);
    HDC dc = GetDC(nullptr);
    const float tx = 1440.0f / GetDeviceCaps(dc, LOGPIXELSX);
    const float ty = 1440.0f / GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    constexpr int kGap = 4;
    return {field.top * ty, (after.right + kGap) * tx, 0, (field.bottom - field.top) * ty};
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

void open_calculator(int index) {
    Field& f = fields[index];
    double m = field_value(f.edit), mmax = f.limit, result = m;
    windowstay ws = field_rectangle(f.edit, f.button);
    const HRESULT hr = f.lateBound ? show_late_bound(m, ws, mmax, result)
                                   : calculator->showcalc(&m, &ws, &mmax, &result);
    if (FAILED(hr)) {
        wchar_t text[64];
        swprintf(text, 64, L"The calculator failed (0x%08lX).", static_cast<unsigned long>(hr));
        MessageBoxW(form, text, kTitle, MB_ICONEXCLAMATION);
        return;
    }
    set_field_value(f.edit, result);
    SetFocus(f.edit);
}

void update_amount() {
    if (!fields[kAmount].edit) return;
    set_field_value(fields[kAmount].edit,
                    field_value(fields[kPrice].edit) * field_value(fields[kQuantity].edit));
}

int field_of(HWND edit) {
    for (int i = 0; i < kFieldCount; ++i) {
        if (fields[i].edit == edit) return i;
    }
    return -1;
}

LRESULT CALLBACK field_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN && wParam == VK_F4) || message == WM_LBUTTONDBLCLK) {
        if (int i = field_of(hwnd); i >= 0) open_calculator(i);
        return 0;
    }
    return CallWindowProcW(editProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK form_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) >= 100 && LOWORD(wParam) < 100 + kFieldCount) {
                open_calculator(LOWORD(wParam) - 100);
            }
            // The amount follows the unit price and the quantity as either changes.
            if (HIWORD(wParam) == EN_CHANGE &&
                (LOWORD(wParam) == kEditId + kPrice || LOWORD(wParam) == kEditId + kQuantity)) {
                update_amount();
            }
            return 0;
        case WM_TIMER:
            if (wParam == kDemoTimer && demoRun &&
                demoRun->tick({form, fields[kPrice].edit, fields[kPrice].button,
                               fields[kQuantity].edit, fields[kAmount].edit, field_value,
                               labels_fit})) {
                KillTimer(form, kDemoTimer);
            }
            return 0;
        case WM_DPICHANGED: {
            // Dragged to a monitor of another scale: laid out again, where the system suggests.
            formDpi = LOWORD(wParam);
            lay_out_form();
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND make_form(HINSTANCE instance) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = form_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"z5demo.Form";
    RegisterClassW(&wc);
    HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 60,
                        60, 330, 190, nullptr, nullptr, instance, nullptr);
    // Created anywhere, then laid out at the form's DPI.
    for (int i = 0; i < kFieldCount; ++i) {
        fields[i].labelWindow =
            CreateWindowExW(0, L"STATIC", fields[i].label, WS_CHILD | WS_VISIBLE, 0, 0, 1, 1, hwnd,
                            nullptr, instance, nullptr);
        fields[i].edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_RIGHT, 0, 0, 1, 1,
                                         hwnd, nullptr, instance, nullptr);
        fields[i].button = CreateWindowExW(
            0, L"BUTTON", L"...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 1, 1, hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), instance, nullptr);
        SetWindowLongPtrW(fields[i].edit, GWLP_ID, kEditId + i);
        editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            fields[i].edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(field_proc)));
    }
    form = hwnd;
    formDpi = window_dpi(hwnd);
    lay_out_form();
    return hwnd;
}

// The demo's own settings: 10 % tax, rounded down, messages through the companion.
void write_default_settings(const std::wstring& ini) {
    if (GetFileAttributesW(ini.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    WritePrivateProfileStringW(L"Setup", L"Tax", L"100", ini.c_str());
    WritePrivateProfileStringW(L"Setup", L"TaxMode", L"0", ini.c_str());
    WritePrivateProfileStringW(L"Setup", L"MsgMode", L"0", ini.c_str());
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
    HRESULT hr = CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc,
                                  reinterpret_cast<void**>(&calculator));
    if (FAILED(hr)) {
        wchar_t text[128];
        swprintf(text, 128, L"z5calcD.zelcalc cannot be created (0x%08lX).",
                 static_cast<unsigned long>(hr));
        if (!demoRun) MessageBoxW(nullptr, text, kTitle, MB_ICONSTOP);
        std::fwprintf(stderr, L"%ls\n", text);
        return 1;
    }
    const std::wstring ini = settings_folder() + L"z5demo.ini";
    write_default_settings(ini);
    BSTR name = SysAllocString(ini.c_str());
    calculator->SetAppName(name);
    SysFreeString(name);
    // Only a help file that is there: F1 in the calculator opens it.
    const std::wstring helpFile = folder_of_exe() + L"z5demo.chm";
    if (GetFileAttributesW(helpFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        BSTR help = SysAllocString(helpFile.c_str());
        calculator->SetHelpFile(help, 1000);
        SysFreeString(help);
    }

    form = make_form(instance);
    ShowWindow(form, demoRun ? SW_SHOWNORMAL : show);
    if (demoRun) SetTimer(form, kDemoTimer, 100, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    calculator->Release();
    CoUninitialize();
    if (formFont) DeleteObject(formFont);
    if (demoRun) return demoRun->report(formDpi);
    return 0;
}
