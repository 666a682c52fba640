#include "ini_rules.h"

#include <cmath>

#include "decimal_read.h"
#include "number_text.h"

namespace z5calc {

// Callers pass at most kIniValueLimit characters, so the scan buffer never cuts a number short.
double leading_number(std::wstring_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;

    // Collect the longest prefix of the form [sign] digits [. digits] [e [sign] digits].
    char buf[kIniValueLimit + 2];
    std::size_t n = 0;
    auto take = [&](wchar_t c) {
        if (n < sizeof buf - 1) buf[n++] = static_cast<char>(c);
    };
    auto is_digit = [&](std::size_t at) {
        return at < text.size() && text[at] >= L'0' && text[at] <= L'9';
    };

    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        if (text[i] == L'-') take(L'-');
        ++i;
    }
    std::size_t digits = 0;
    auto take_digits = [&] {
        for (; is_digit(i); ++i, ++digits) take(text[i]);
    };
    take_digits();
    if (i < text.size() && text[i] == L'.') {
        take(L'.');
        ++i;
        take_digits();
    }
    if (digits == 0) return 0;
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == L'-' || text[j] == L'+')) ++j;
        if (is_digit(j)) {
            take(L'e');
            if (text[i + 1] == L'-') take(L'-');
            for (i = j; is_digit(i); ++i) take(text[i]);
        }
    }
    const DecimalRead r = read_decimal({buf, n});
    if (r.status == DecimalRead::Status::OutOfRange) {
        // Too large or too small for a double: the size tells which way it went.
        bool tiny = false;
        for (std::size_t k = 0; k < n; ++k) {
            if (buf[k] == 'e') tiny = k + 1 < n && buf[k + 1] == '-';
        }
        if (tiny) return 0;
        return buf[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return r.value;
}

std::optional<std::int32_t> ini_value_from_text(std::wstring_view text) noexcept {
    if (text.size() > kIniValueLimit) text = text.substr(0, kIniValueLimit);
    if (text == L"True") return -1;
    if (text == L"False") return 0;
    if (text.empty()) return -1;
    double rounded = std::nearbyint(leading_number(text));  // default mode: halves to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int16_t> to_int16(std::int32_t value) noexcept {
    if (value < INT16_MIN || value > INT16_MAX) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::wstring ini_number_text(double value) {
    ReadoutText text = general_text(value);
    return std::wstring(text.view().begin(), text.view().end());
}

std::wstring host_ini_path(std::wstring_view setup_folder, std::wstring_view name) {
    if (name.find(L".ini") != std::wstring_view::npos) return std::wstring(name);
    std::wstring path(setup_folder);
    path += name;
    path += L".ini";
    return path;
}

std::wstring_view folder_of(std::wstring_view path) noexcept {
    std::size_t slash = path.rfind(L'\\');
    if (slash == std::wstring_view::npos) return {};
    return path.substr(0, slash + 1);
}

std::wstring with_backslash(std::wstring_view folder) {
    std::wstring result(folder);
    if (result.empty() || result.back() != L'\\') result += L'\\';
    return result;
}

std::wstring drive_root_of(std::wstring_view path) {
    if (path.starts_with(L"\\\\") || path.empty()) return {};
    return std::wstring(1, path.front()) + L":\\";
}

std::wstring settings_folder(std::wstring_view component_folder, int drive_kind,
                             std::wstring_view app_data_folder) {
    if (drive_kind == kDriveRemovable && !component_folder.empty()) {
        return std::wstring(1, component_folder.front()) + L":\\qorvan\\";
    }
    return with_backslash(app_data_folder) + L"qorvan\\";
}

std::wstring folder_failure_message(std::wstring_view setup_folder) {
    std::wstring text = L"設定ファイルの保存フォルダ(";
    text += setup_folder;
    text += L")が作れませんでした。\r\n動作環境を確認して下さい";
    return text;
}

bool has_control_character(std::wstring_view text) noexcept {
    for (wchar_t c : text) {
        if (c < 0x20) return true;
    }
    return false;
}

}  // namespace z5calc
