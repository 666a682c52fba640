#pragma once

#include <windows.h>

namespace z5calc {

// The version of the module `resources` in a message box on `owner`. Nothing without a version
// resource or memory.
void show_version_box(HWND owner, HMODULE resources) noexcept;

}  // namespace z5calc
