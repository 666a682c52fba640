#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace z5calc {

// UTF-8 text (the portable engine's) as the system's UTF-16. May throw std::bad_alloc.
inline std::wstring widen_utf8(std::string_view text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace z5calc
