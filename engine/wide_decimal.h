#pragma once

#include <string>

namespace z5calc {

// An integer in decimal digits, as wide text. Not std::to_wstring: that formats through
// swprintf, whose floating-point half costs a static DLL some 20 KB it never uses.
template <class Int>
std::wstring wide_decimal(Int value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

}  // namespace z5calc
