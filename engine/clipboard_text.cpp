#include "clipboard_text.h"

#include <algorithm>
#include <array>

#include "decimal_read.h"
#include "number_text.h"

namespace z5calc {
namespace {

// The ASCII form of a character a number may hold, full-width forms included; 0 for others.
char ascii_of(wchar_t c) noexcept {
    if (c >= L'0' && c <= L'9') return static_cast<char>(c);
    if (c >= 0xFF10 && c <= 0xFF19) return static_cast<char>('0' + (c - 0xFF10));
    switch (c) {
        case L'+':
        case 0xFF0B:
            return '+';
        case L'-':
        case 0xFF0D:
        case 0x2212:  // the minus sign
            return '-';
        case L',':
        case 0xFF0C:
            return ',';
        case L'.':
        case 0xFF0E:
            return '.';
        case L'=':
        case 0xFF1D:
            return '=';
        case L' ':
        case L'\t':
        case L'\r':
        case L'\n':
        case 0x3000:  // the ideographic space
            return ' ';
        case 0x00A5:  // ¥
        case 0xFFE5:  // ￥
        case L'$':
        case 0x20AC:  // €
        case 0x00A3:  // £
            return '$';
        case 0x5186:  // 円, after the amount
            return 'Y';
        default:
            return 0;
    }
}

}  // namespace

std::optional<std::string> copied_text(std::string_view readout) {
    if (!read_number(readout)) return std::nullopt;
    std::string text;
    for (char c : readout) {
        if (c != ',') text += c;
    }
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

std::optional<double> pasted_number(std::wstring_view text) noexcept {
    if (text.size() > kPasteLimit) return std::nullopt;
    std::array<char, kPasteLimit + 1> s;
    std::size_t n = 0;
    for (wchar_t c : text) {
        const char a = ascii_of(c);
        if (!a) return std::nullopt;
        s[n++] = a;
    }
    std::size_t first = 0, last = n;
    auto trim = [&] {
        while (first < last && s[first] == ' ') ++first;
        while (last > first && s[last - 1] == ' ') --last;
    };
    trim();
    if (last > first && s[last - 1] == '=') {
        --last;
        trim();
    }
    // 円 after the amount ("1,234円"), and the dash that closes a price after ¥ or 円
    // ("¥1,234-"): that dash is no minus.
    const bool yen = last > first && s[last - 1] == 'Y';
    if (yen) {
        --last;
        trim();
    }
    const bool currencySign =
        std::find(s.begin() + first, s.begin() + last, '$') != s.begin() + last;
    if ((yen || currencySign) && last > first + 1 && s[last - 1] == '-' && s[last - 2] >= '0' &&
        s[last - 2] <= '9') {
        --last;
    }
    // A sign and a currency sign, in either order, each at most once.
    bool negative = false, signed_ = false, currency = false;
    while (first < last) {
        const char c = s[first];
        if ((c == '+' || c == '-') && !signed_) {
            signed_ = true;
            negative = c == '-';
        } else if (c == '$' && !currency) {
            currency = true;
        } else {
            break;
        }
        ++first;
        trim();
    }
    // Digits, "," groups of three before the point only, one ".", at least one digit.
    std::array<char, kPasteLimit + 2> number;
    std::size_t m = 0;
    if (negative) number[m++] = '-';
    bool point = false, grouped = false, digits = false;
    int run = 0;  // digits since the last "," or the start
    for (std::size_t i = first; i < last; ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            number[m++] = c;
            digits = true;
            ++run;
        } else if (c == ',' && !point) {
            if (run == 0 || (grouped && run != 3) || run > 3) return std::nullopt;
            // A grouped number never starts with a zero ("0,123" is no 123).
            if (!grouped && number[negative ? 1 : 0] == '0') return std::nullopt;
            grouped = true;
            run = 0;
        } else if (c == '.' && !point) {
            if (grouped && run != 3) return std::nullopt;
            point = true;
            number[m++] = '.';
            run = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!digits || (grouped && !point && run != 3)) return std::nullopt;
    const DecimalRead r = read_decimal({number.data(), m});
    if (r.status != DecimalRead::Status::Ok) return std::nullopt;
    return r.value;
}

}  // namespace z5calc
