#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Names a loaded module imports DLLs from, and the names it exports, read from its headers.
std::vector<std::string> imported_dlls(HMODULE module);
std::vector<std::string> exported_names(HMODULE module);
// Count of exports that have no name (exported by ordinal only).
DWORD unnamed_export_count(HMODULE module);
