#pragma once

// The DLLs z5calcD.dll may import: all ship with Windows, so a host needs nothing beside it.
#include <string_view>

namespace z5calc {

inline constexpr std::string_view kSystemDlls[] = {
    "kernel32.dll", "user32.dll",  "gdi32.dll",  "ole32.dll", "oleaut32.dll",
    "advapi32.dll", "shell32.dll", "msvcrt.dll", "imm32.dll", "comctl32.dll",
    "shlwapi.dll",  "version.dll", "oleacc.dll"};

}  // namespace z5calc
