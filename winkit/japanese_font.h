#pragma once

#include <windows.h>

namespace z5calc {

// The face our own windows show Japanese text in: the first installed of the Japanese UI faces
// (Yu Gothic UI, Meiryo UI, MS UI Gothic), else the first face that has the Japanese character
// set (IPAGothic on a Linux desktop). Looked for once per process; empty when the system has
// none, and the callers then keep the system's own face.
const wchar_t* japanese_ui_face() noexcept;

// The message font of the system (the face and size message boxes use) at `dpi`, in the
// Japanese UI face where there is one. The caller owns it; null when no font can be made.
HFONT create_japanese_ui_font(int dpi) noexcept;

// A font of the Japanese UI face (the system's where there is none), `pixels` high.
HFONT create_japanese_font(int pixels, int weight, BYTE quality = CLEARTYPE_QUALITY) noexcept;

}  // namespace z5calc
