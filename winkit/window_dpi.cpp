#include "window_dpi.h"

#include "gdi_handles.h"
#include "screen_rules.h"

namespace z5calc {

Dpi screen_dpi() noexcept {
    const WindowDc screen;
    if (!screen) return {};
    return {GetDeviceCaps(screen.get(), LOGPIXELSX), GetDeviceCaps(screen.get(), LOGPIXELSY)};
}

int window_dpi(HWND hwnd) noexcept {
    // Looked up at run time: older systems lack it, and the DLL must still load there.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window =
        reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi_for_window && hwnd) {
        if (const UINT dpi = get_dpi_for_window(hwnd)) return usable_dpi(static_cast<int>(dpi));
    }
    return usable_dpi(screen_dpi().x);
}

}  // namespace z5calc
