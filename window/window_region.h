#pragma once

#include <windows.h>

namespace z5calc {

// Gives hwnd the outline stored as region data (resource type "RGN") in module. The data is in
// client pixels; the region is moved past the frame and caption, which it leaves outside.
// Without usable data the window keeps its rectangular outline. The window owns the region.
void ApplyWindowRegion(HMODULE module, const wchar_t* name, HWND hwnd) noexcept;

}  // namespace z5calc
