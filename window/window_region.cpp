#include "window_region.h"

#include "gdi_handles.h"

namespace z5calc {

void ApplyWindowRegion(HMODULE module, const wchar_t* name, HWND hwnd) noexcept {
    UniqueHrgn region;
    if (HRSRC found = FindResourceW(module, name, L"RGN")) {
        DWORD size = SizeofResource(module, found);
        HGLOBAL loaded = LoadResource(module, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data && size >= sizeof(RGNDATAHEADER)) {
            region.reset(ExtCreateRegion(nullptr, size, static_cast<const RGNDATA*>(data)));
        }
    }
    if (region) {
        OffsetRgn(region.get(), GetSystemMetrics(SM_CXDLGFRAME),
                  GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME));
    }
    // On success the system owns the region from here on.
    if (SetWindowRgn(hwnd, region.get(), TRUE)) region.release();
}

}  // namespace z5calc
