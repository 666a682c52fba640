#include "window_region.h"

#include <string>

#include "dpi_scale.h"
#include "gdi_handles.h"
#include "resource_data.h"
#include "wide_decimal.h"

namespace z5calc {
namespace {

// The region stored under `name`, through `transform` when one is given; null without usable data.
UniqueHrgn region_resource(HMODULE module, const wchar_t* name, const XFORM* transform) noexcept {
    const auto data = resource_data(module, name, L"RGN");
    if (data.size() < sizeof(RGNDATAHEADER)) return UniqueHrgn();
    return UniqueHrgn(ExtCreateRegion(transform, static_cast<DWORD>(data.size()),
                                      reinterpret_cast<const RGNDATA*>(data.data())));
}

// On success the system owns the region from here on.
void give_region(HWND hwnd, UniqueHrgn region) noexcept {
    if (SetWindowRgn(hwnd, region.get(), TRUE)) region.release();
}

}  // namespace

void ApplyWindowRegion(HMODULE module, const wchar_t* name, HWND hwnd) noexcept {
    UniqueHrgn region = region_resource(module, name, nullptr);
    if (region) {
        OffsetRgn(region.get(), GetSystemMetrics(SM_CXDLGFRAME),
                  GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME));
    }
    give_region(hwnd, std::move(region));
}

void ApplyScaledWindowRegion(HMODULE module, int dpi, HWND hwnd) noexcept {
    const int percent = art_percent(dpi);
    const std::wstring name = percent == 100 ? L"FRM" : L"FRM" + wide_decimal(percent);
    // The outline drawn for this scale, or the nearest larger one's scaled down to it.
    const float factor = static_cast<float>(dpi) * 100.0f /
                         (static_cast<float>(kBaseDpi) * static_cast<float>(percent));
    const XFORM transform = {factor, 0, 0, factor, 0, 0};
    const bool exact = dpi * 100 == percent * kBaseDpi;
    UniqueHrgn region = region_resource(module, name.c_str(), exact ? nullptr : &transform);
    if (region) {
        // The frame and caption at the window's own DPI: where its client area really starts.
        RECT outer = {};
        POINT origin = {0, 0};
        GetWindowRect(hwnd, &outer);
        ClientToScreen(hwnd, &origin);
        OffsetRgn(region.get(), origin.x - outer.left, origin.y - outer.top);
    }
    give_region(hwnd, std::move(region));
}

}  // namespace z5calc
