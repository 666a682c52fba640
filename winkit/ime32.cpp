#include "ime32.h"

#include <imm.h>

#include "window_twips.h"

namespace z5calc {

void KeepOnScreen(HWND hwnd, const RECT& anchor, double twipsX, double twipsY,
                  std::int32_t charWidth, std::int32_t charHeight) noexcept {
    KeepOnScreen(hwnd, window_twips(hwnd, twipsX, twipsY), anchor, twipsX, twipsY, charWidth,
                 charHeight);
}

void KeepOnScreen(HWND hwnd, TwipsBox box, const RECT& anchor, double twipsX, double twipsY,
                  std::int32_t charWidth, std::int32_t charHeight) noexcept {
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HMONITOR monitor = MonitorFromRect(&anchor, MONITOR_DEFAULTTONULL)) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(monitor, &info)) screen = info.rcMonitor;
    }
    const TwipsBox screenTwips = {static_cast<float>(screen.left * twipsX),
                                  static_cast<float>(screen.top * twipsY),
                                  static_cast<float>((screen.right - screen.left) * twipsX),
                                  static_cast<float>((screen.bottom - screen.top) * twipsY)};
    const bool normal = !IsIconic(hwnd) && !IsZoomed(hwnd);
    keep_on_screen(box, screenTwips, normal, charWidth, charHeight);
    set_window_twips(hwnd, box, twipsX, twipsY);
}

void ForceForeground(HWND hwnd) noexcept {
    const DWORD fgThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetCurrentThreadId();
    const bool attach = fgThread != 0 && fgThread != ownThread;
    if (attach) AttachThreadInput(ownThread, fgThread, TRUE);
    DWORD timeout = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(hwnd);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                          reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)), 0);
    if (attach) AttachThreadInput(ownThread, fgThread, FALSE);
}

void SetImeOpen(HWND hwnd, bool open) noexcept {
    if (HIMC context = ImmGetContext(hwnd)) {
        ImmSetOpenStatus(context, open ? TRUE : FALSE);
        ImmReleaseContext(hwnd, context);
    }
}

}  // namespace z5calc
