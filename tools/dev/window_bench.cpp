// The calculator call's speed and footprint, measured the way a host meets them:
//   window-bench DLL [CYCLES]
// - open: from calling showcalc to the calculator window's first paint;
// - cycle: a whole showcalc, opened, painted and closed with Esc;
// each against the floor of creating, showing, painting and destroying a bare window in the
// same run, printed as the median ratio of back-to-back pairs. Then the process's GDI and USER
// object counts before and after CYCLES more calls (default 1000). All of it twice: with the
// tape closed, then with the tape shown beside the calculator (Ctrl+H, which it keeps).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "z5calcD_h.h"

namespace {

LARGE_INTEGER frequency;
LONGLONG started = 0;
LONGLONG firstPaint = 0;
const wchar_t* watchedClass = nullptr;
bool withTape = false;

LONGLONG now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

double ms(LONGLONG ticks) {
    return ticks * 1000.0 / frequency.QuadPart;
}

bool of_class(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return lstrcmpW(cls, name) == 0;
}

// Ctrl+H as the keyboard gives it to the calculator's thread.
void press_ctrl_h(HWND hwnd) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(hwnd, WM_KEYDOWN, 'H', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

void painted(HWND hwnd) {
    if (firstPaint || !watchedClass || !of_class(hwnd, watchedClass)) return;
    firstPaint = now();
    if (withTape && !FindWindowW(L"z5calc.Tape", nullptr)) press_ctrl_h(hwnd);
    PostMessageW(hwnd, WM_CHAR, 27, 0);  // the user closes it again with Esc
}

// The calculator's first WM_PAINT, whether taken from the queue or sent by UpdateWindow.
LRESULT CALLBACK on_queued(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT) painted(msg->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK on_sent(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_PAINT) painted(msg->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Timing {
    double open, cycle;
};

LRESULT CALLBACK bare_procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        if (!firstPaint) firstPaint = now();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

Timing bare_window() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = bare_procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"bench.bare";
        RegisterClassW(&wc);
        registered = true;
    }
    watchedClass = nullptr;
    firstPaint = 0;
    started = now();
    // The calculator's outer size at 96 DPI, at the screen's DPI: the same area to paint.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    HWND hwnd = CreateWindowExW(0, L"bench.bare", L"bare", WS_CAPTION | WS_SYSMENU, 100, 100,
                                MulDiv(216, dpi, 96), MulDiv(302, dpi, 96), nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (!firstPaint) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Nothing queued: the system owes the window its paint; take it now.
            UpdateWindow(hwnd);
            continue;
        }
        DispatchMessageW(&msg);
    }
    DestroyWindow(hwnd);
    const LONGLONG ended = now();
    return {ms(firstPaint - started), ms(ended - started)};
}

Timing calculator(_zelcalc* calc) {
    watchedClass = L"z5calc.frmCalc";
    firstPaint = 0;
    double m = 42, mmax = 0, result = 0;
    windowstay ws = {3000, 3000, 1500, 300};
    started = now();
    calc->showcalc(&m, &ws, &mmax, &result);
    const LONGLONG ended = now();
    return {ms(firstPaint - started), ms(ended - started)};
}

// Where the system hands out its next GDI and USER handles. Wine counts no objects per process
// (GetGuiResources answers 0) but reuses freed handle slots, so a leak shows as these growing.
unsigned next_gdi_slot() {
    HRGN probe = CreateRectRgn(0, 0, 1, 1);
    const unsigned slot = LOWORD(reinterpret_cast<UINT_PTR>(probe));
    DeleteObject(probe);
    return slot;
}

unsigned next_user_slot() {
    HMENU probe = CreateMenu();
    const unsigned slot = LOWORD(reinterpret_cast<UINT_PTR>(probe));
    DestroyMenu(probe);
    return slot;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Warm both paths, then pairs of a bare window and a call, one right after the other: the
// ratio is the median of the pairs' ratios, so that the machine's slower and faster spells
// (under Xvfb they last seconds and change the times threefold) fall on both sides alike.
void compare_with_bare_window(_zelcalc* calc) {
    calculator(calc);
    bare_window();
    std::vector<double> bareOpen, bareCycle, calcOpen, calcCycle, openRatio, cycleRatio;
    for (int i = 0; i < 150; ++i) {
        Timing b = bare_window();
        Timing c = calculator(calc);
        bareOpen.push_back(b.open);
        bareCycle.push_back(b.cycle);
        calcOpen.push_back(c.open);
        calcCycle.push_back(c.cycle);
        openRatio.push_back(c.open / b.open);
        cycleRatio.push_back(c.cycle / b.cycle);
    }
    std::printf("open to first paint: %.3f ms, bare window %.3f ms, ratio %.2f\n", median(calcOpen),
                median(bareOpen), median(openRatio));
    std::printf("open/close cycle:    %.3f ms, bare window %.3f ms, ratio %.2f\n",
                median(calcCycle), median(bareCycle), median(cycleRatio));
}

void count_handles(_zelcalc* calc, int cycles) {
    HANDLE self = GetCurrentProcess();
    const DWORD gdiBefore = GetGuiResources(self, GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(self, GR_USEROBJECTS);
    const unsigned gdiSlotBefore = next_gdi_slot(), userSlotBefore = next_user_slot();
    for (int i = 0; i < cycles; ++i) calculator(calc);
    const DWORD gdiAfter = GetGuiResources(self, GR_GDIOBJECTS);
    const DWORD userAfter = GetGuiResources(self, GR_USEROBJECTS);
    const unsigned gdiSlotAfter = next_gdi_slot(), userSlotAfter = next_user_slot();
    std::printf(
        "after %d more calls: GDI objects %lu -> %lu, USER objects %lu -> %lu"
        " (0: not counted here)\n",
        cycles, gdiBefore, gdiAfter, userBefore, userAfter);
    std::printf("next free handle slot: GDI %u -> %u, USER %u -> %u\n", gdiSlotBefore, gdiSlotAfter,
                userSlotBefore, userSlotAfter);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window-bench DLL [CYCLES]\n");
        return 2;
    }
    const int cycles = argc > 2 ? _wtoi(argv[2]) : 1000;
    QueryPerformanceFrequency(&frequency);
    CoInitialize(nullptr);
    HMODULE dll = LoadLibraryW(argv[1]);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = dll ? reinterpret_cast<GetClassObject>(
                         reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")))
                   : nullptr;
    IClassFactory* factory = nullptr;
    _zelcalc* calc = nullptr;
    if (!get || FAILED(get(CLSID_zelcalc, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateInstance(nullptr, IID__zelcalc, reinterpret_cast<void**>(&calc)))) {
        std::fprintf(stderr, "window-bench: cannot create the calculator from %ls\n", argv[1]);
        return 1;
    }
    HHOOK queued = SetWindowsHookExW(WH_GETMESSAGE, on_queued, nullptr, GetCurrentThreadId());
    HHOOK sent = SetWindowsHookExW(WH_CALLWNDPROC, on_sent, nullptr, GetCurrentThreadId());

    for (bool tape : {false, true}) {
        withTape = tape;
        std::printf("%s\n", tape ? "with the tape shown:" : "with the tape closed:");
        compare_with_bare_window(calc);
        count_handles(calc, cycles);
    }

    UnhookWindowsHookEx(sent);
    UnhookWindowsHookEx(queued);
    calc->Release();
    factory->Release();
    CoUninitialize();
    return 0;
}
