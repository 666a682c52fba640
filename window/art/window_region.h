#pragma once

#include <windows.h>

namespace z5calc {

// Gives hwnd the outline stored as region data (resource type "RGN") in module. The data is in
// client pixels; the region is moved past the frame and caption, which it leaves outside.
// Without usable data the window keeps its rectangular outline. The window owns the region.
void ApplyWindowRegion(HMODULE module, const wchar_t* name, HWND hwnd) noexcept;

// The same at another DPI: the outline drawn for that scale ("FRM150" for 144 DPI), or the
// nearest larger one scaled down to it, moved to where the window's client area starts.
void ApplyScaledWindowRegion(HMODULE module, int dpi, HWND hwnd) noexcept;

}  // namespace z5calc
