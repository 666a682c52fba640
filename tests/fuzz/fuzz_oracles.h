#pragma once
// What the fuzz targets hold every answer to. A broken rule aborts with the text, so that
// libFuzzer keeps the input that broke it.
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

namespace z5calc::fuzz {

[[noreturn]] inline void broken(const char* rule, std::string_view text) {
    std::fprintf(stderr, "broken: %s [", rule);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputs("]\n", stderr);
    std::abort();
}

inline void require(bool holds, const char* rule, std::string_view text = {}) {
    if (!holds) broken(rule, text);
}

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A text the readout may show: "Error"; "" and "-" while a negative number is begun or
// backspaced away; or an optional "-", whole digits (grouped in threes by "," or, as a typed
// or starting number may stand, not grouped at all), "." and any fraction digits; at most 14
// characters. The minus key after an out-of-range value writes the plain text of the negated
// number, which has no point when it is whole ("7", "-1234").
inline bool legal_readout(std::string_view t) {
    if (t == "Error" || t == "" || t == "-") return true;
    if (t.size() > 14) return false;
    std::size_t i = t[0] == '-' ? 1 : 0;
    std::size_t point = t.find('.');
    if (point == std::string_view::npos && t.find(',') == std::string_view::npos) point = t.size();
    if (point == std::string_view::npos || point <= i) return false;
    const std::string_view whole = t.substr(i, point - i);
    const bool grouped = whole.find(',') != std::string_view::npos;
    std::size_t digitsInGroup = 0;
    for (std::size_t k = whole.size(); k-- > 0;) {  // groups of three from the right
        if (whole[k] == ',') {
            if (digitsInGroup != 3 || k == 0) return false;
            digitsInGroup = 0;
        } else if (!is_digit(whole[k]) || (++digitsInGroup > 3 && grouped)) {
            return false;
        }
    }
    if (digitsInGroup == 0) return false;
    for (char c : t.substr(std::min(point + 1, t.size()))) {
        if (!is_digit(c)) return false;
    }
    return true;
}

inline std::wstring widen(std::string_view t) {
    return {t.begin(), t.end()};
}

// The input's byte pairs as UTF-16 text (little-endian, an odd last byte dropped).
inline std::wstring utf16(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }
    return text;
}

// For messages: ASCII as it is, anything else as "?".
inline std::string narrow(std::wstring_view t) {
    std::string s;
    for (wchar_t c : t) s.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    return s;
}

}  // namespace z5calc::fuzz
