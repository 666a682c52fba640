#pragma once

#include <windows.h>

#include <string>

namespace z5calc {

// Live objects and server locks; DllCanUnloadNow answers S_OK only when both are zero.
void module_add_ref() noexcept;
void module_release() noexcept;
void module_lock(bool lock) noexcept;
bool module_can_unload() noexcept;

HMODULE module_handle() noexcept;
std::wstring module_file_path();

}  // namespace z5calc
