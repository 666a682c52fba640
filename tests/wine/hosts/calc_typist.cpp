// Plays the user for a script host, which sits in showcalc and cannot type itself:
//   calc_typist KEYS COUNT
// Puts the mouse pointer at (300, 400), then COUNT times waits for the calculator window, prints
// "window N left L middle M" (its left edge and vertical middle), types KEYS into it ("~" is
// Enter) and waits for it to close. Exits 1 when a window does not come or does not go.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HWND shown_calculator() {
    HWND window = FindWindowW(L"z5calc.frmCalc", nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

template <class Condition>
bool wait_for(Condition condition, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!condition()) {
        if (GetTickCount64() >= end) return false;
        Sleep(20);
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: calc_typist KEYS COUNT\n");
        return 2;
    }
    const std::wstring keys = argv[1];
    const int count = _wtoi(argv[2]);
    SetCursorPos(300, 400);
    for (int n = 1; n <= count; ++n) {
        HWND window = nullptr;
        if (!wait_for([&] { return (window = shown_calculator()) != nullptr; }, 30000)) {
            std::printf("window %d never came\n", n);
            return 1;
        }
        Sleep(50);  // its activation settles first, as a user's first key would
        RECT r = {};
        GetWindowRect(window, &r);
        std::printf("window %d left %ld middle %ld\n", n, r.left, (r.top + r.bottom) / 2);
        std::fflush(stdout);
        for (wchar_t key : keys) PostMessageW(window, WM_CHAR, key == L'~' ? L'\r' : key, 0);
        if (!wait_for([&] { return shown_calculator() != window; }, 10000)) {
            std::printf("window %d did not close\n", n);
            return 1;
        }
    }
    return 0;
}
