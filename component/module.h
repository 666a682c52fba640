#pragma once

#include <windows.h>

#include <string>

namespace z5calc {

std::wstring module_file_path();

}  // namespace z5calc
