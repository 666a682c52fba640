#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace z5calc {

// Keys the component reads and writes: section, key, and the number the reads use in place of
// a missing entry (a text key's is unused: a missing text is empty). "Window" keys are made per
// window (window name + "_Left" / "_Top").
struct IniKey {
    std::wstring_view section;
    std::wstring_view key;
    std::int32_t fallback = 0;
};

namespace ini_keys {
inline constexpr IniKey kAppPath{L"Setup", L"AppPath"};
inline constexpr IniKey kTax{L"Setup", L"Tax", 100};               // tenths of a percent: 10 %
inline constexpr IniKey kReducedTax{L"Setup", L"ReducedTax", 80};  // the reduced rate: 8 %
inline constexpr IniKey kTaxMode{L"Setup", L"TaxMode", 0};
// The results' decimals (-1 as computed, or 0 to 4) and their rounding (0 toward zero, 1 away
// from it, 2 half away from it).
inline constexpr IniKey kDecimals{L"Setup", L"Decimals", -1};
inline constexpr IniKey kRounding{L"Setup", L"Rounding", 2};
inline constexpr IniKey kMsgMode{L"Setup", L"MsgMode", 0};  // the talking companion
inline constexpr IniKey kHelpFile{L"Setup", L"HelpFile"};   // the component's own z5calc.chm
inline constexpr IniKey kHelpID{L"Setup", L"HelpID", -1};
// The calculator window's last place, in twips.
// Missing (-1, as GetIniValue reads a missing key), the window is centred on the screen.
inline constexpr IniKey kFrmCalcLeft{L"Window", L"frmCalc_Left", -1};
inline constexpr IniKey kFrmCalcTop{L"Window", L"frmCalc_Top", -1};
}  // namespace ini_keys

// A value is read into a 255-character buffer: the first 254 characters are all that is seen.
inline constexpr std::size_t kIniValueLimit = 254;

// The platform's leading-number scan: blanks skipped, optional sign, digits, optional fraction
// and exponent. Text that does not begin with a number gives 0.
double leading_number(std::wstring_view text) noexcept;

// What GetIniValue makes of a key's text: "True" -1, "False" 0, empty -1, otherwise the leading
// number rounded to the nearest integer, halves to even. Empty when that is outside 32 bits.
std::optional<std::int32_t> ini_value_from_text(std::wstring_view text) noexcept;

// A 32-bit value as a 16-bit one; empty when it does not fit.
std::optional<std::int16_t> to_int16(std::int32_t value) noexcept;

// The text a number is written as: general numeric text, at most 15 significant digits ("50",
// "-3", "1.5", "1E+20").
std::wstring ini_number_text(double value);

// The host's settings file named by SetAppName: a name containing ".ini" is the file itself,
// any other name is the file of that name in the settings folder.
std::wstring host_ini_path(std::wstring_view setup_folder, std::wstring_view name);

// True when the text holds a character below U+0020 (NUL, a line break, a tab...): a settings
// value cannot keep it (a line break would start a new key), and no file name may hold one.
bool has_control_character(std::wstring_view text) noexcept;

// The folder part of a path, up to and including its last "\"; empty without one.
std::wstring_view folder_of(std::wstring_view path) noexcept;

// A folder path that ends in "\" (an empty one becomes "\").
std::wstring with_backslash(std::wstring_view folder);

// Drive-type codes of the platform.
inline constexpr int kDriveRemovable = 2;
inline constexpr int kDriveRemote = 4;

// The root to ask the drive type of ("C:\" for "C:\x\y"); empty for a network path, which is
// always remote.
std::wstring drive_root_of(std::wstring_view path);

// Where the settings live: at the root of a removable drive that holds the component, else in
// the user's application-data folder.
std::wstring settings_folder(std::wstring_view component_folder, int drive_kind,
                             std::wstring_view app_data_folder);

// The text of the message shown when the settings folder cannot be created.
std::wstring folder_failure_message(std::wstring_view setup_folder);

}  // namespace z5calc
