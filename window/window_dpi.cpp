#include "window_dpi.h"

#include "dpi_scale.h"

namespace z5calc {

int window_dpi(HWND hwnd) noexcept {
    // Looked up at run time: older systems lack it, and the DLL must still load there.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi_for_window && hwnd) {
        if (const UINT dpi = get_dpi_for_window(hwnd)) return usable_dpi(static_cast<int>(dpi));
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kBaseDpi;
    if (screen) ReleaseDC(nullptr, screen);
    return usable_dpi(dpi);
}

}  // namespace z5calc
