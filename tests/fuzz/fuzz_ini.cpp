// Settings values and names as any editor may leave them in a settings file (UTF-16 from the
// input's byte pairs): the leading-number scan, the 16-bit conversion, the number text written
// back, and the path rules never fail, and agree with one another.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_oracles.h"
#include "ini_rules.h"

using namespace z5calc;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::utf16(data, size);
    const double number = leading_number(text);
    require(!std::isnan(number), "the leading number is never NaN");
    if (std::isfinite(number)) {
        // Written to 15 significant digits: what is written reads back to the same text.
        const std::wstring written = ini_number_text(number);
        require(ini_number_text(leading_number(written)) == written,
                "a number written reads back as itself", fuzz::narrow(written));
    }
    if (const auto value = ini_value_from_text(text)) {
        const auto small = to_int16(*value);
        require(small.has_value() == (*value >= -32768 && *value <= 32767),
                "16 bits hold exactly what fits");
        if (small) require(*small == *value, "a 16-bit value is the value");
    }
    // A name and a folder from the two halves of the text.
    const std::wstring_view all(text);
    const std::wstring_view folder = all.substr(0, all.size() / 2),
                            name = all.substr(all.size() / 2);
    const std::wstring path = host_ini_path(folder, name);
    const std::wstring_view parent = folder_of(path);
    require(path.compare(0, parent.size(), parent) == 0, "a path's folder is its beginning");
    require(parent.empty() || parent.back() == L'\\', "a folder ends in a backslash");
    require(with_backslash(folder).back() == L'\\', "with_backslash ends in one");
    const std::wstring root = drive_root_of(path);
    require(root.size() <= path.size() + 1, "a drive root is no longer than its path");
    settings_folder(folder, static_cast<int>(size % 7), name);
    has_control_character(text);
    return 0;
}
