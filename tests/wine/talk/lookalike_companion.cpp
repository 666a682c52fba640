// Another program whose window looks like the companion's (class, caption, properties and text
// controls) and takes every command without ever answering:  lookalike_companion
// It runs until it is closed or ended.
#include <windows.h>

#include <initializer_list>

#include "companion_contract.h"

int wmain() {
    using namespace z5calc::companion;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.style = CS_DBLCLKS;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, kCaption, WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, wc.hInstance, nullptr);
    for (const wchar_t* name : {kMsg, kFileText}) {
        SetPropW(main, name,
                 CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE, 0, 0, 1, 1, main,
                                 nullptr, wc.hInstance, nullptr));
    }
    MSG msg;
    while (IsWindow(main) && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
