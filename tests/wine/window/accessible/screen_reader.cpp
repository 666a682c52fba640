// A screen reader in a process of its own:  screen_reader HWND OUT [CHILD...]
// Asks oleacc for the client area of window HWND (decimal), writes one line per child to OUT
// (UTF-16, no mark: "id<TAB>role<TAB>name<TAB>value<TAB>shortcut") and "selected<TAB>id" for a
// selected child, then does the default action of
// each CHILD id given and writes "after<TAB>" and the readout's value. Exit code 0, or the step
// that failed (2 arguments, 3 object, 4 file).
#include <windows.h>
#include <oleacc.h>

#include <cwchar>
#include <string>

#include "calc_accessible.h"

namespace {

VARIANT child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::wstring read(IAccessible* acc, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                  long id) {
    BSTR b = nullptr;
    const HRESULT hr = (acc->*get)(child(id), &b);
    std::wstring s = SUCCEEDED(hr) ? (b ? b : L"") : L"(" + std::to_wstring(hr) + L")";
    SysFreeString(b);
    return s;
}

long role(IAccessible* acc, long id) {
    VARIANT v;
    VariantInit(&v);
    return SUCCEEDED(acc->get_accRole(child(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}

int run(HWND window, std::wstring& out, int count, wchar_t** children) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          z5calc::kAccessibleIid,
                                          reinterpret_cast<void**>(&acc)))) {
        return 3;
    }
    long total = 0;
    acc->get_accChildCount(&total);
    for (long id = 1; id <= total; ++id) {
        out += std::to_wstring(id) + L"\t" + std::to_wstring(role(acc, id)) + L"\t" +
               read(acc, &IAccessible::get_accName, id) + L"\t" +
               read(acc, &IAccessible::get_accValue, id) + L"\t" +
               read(acc, &IAccessible::get_accKeyboardShortcut, id) + L"\n";
    }
    VARIANT selection;
    VariantInit(&selection);
    if (acc->get_accSelection(&selection) == S_OK && selection.vt == VT_I4)
        out += L"selected\t" + std::to_wstring(selection.lVal) + L"\n";
    for (int i = 0; i < count; ++i) acc->accDoDefaultAction(child(_wtol(children[i])));
    out += L"after\t" +
           read(acc, &IAccessible::get_accValue, z5calc::CalcAccessible::kReadoutChild) + L"\n";
    acc->Release();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(_wtoi64(argv[1])));
    std::wstring text;
    const int code = run(window, text, argc - 3, argv + 3);
    CoUninitialize();
    HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 4;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                              &written, nullptr);
    CloseHandle(file);
    return ok ? code : 4;
}
