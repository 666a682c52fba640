#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace z5calc {

// True when both paths name one existing file, however each spells it (case, short names,
// another drive mapping): the files' volume and index are compared.
bool same_file(const std::wstring& a, const std::wstring& b) noexcept;

// True when the process that owns `window` runs one of the program files `files`. A window of
// another program that only looks the same (class, caption, properties) is not one of them.
bool window_runs_one_of(HWND window, const std::vector<std::wstring>& files) noexcept;

// The full path of this process's own program file.
std::wstring own_program_file();

}  // namespace z5calc
