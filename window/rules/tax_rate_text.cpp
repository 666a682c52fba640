#include "tax_rate_text.h"

#include "tape.h"

namespace z5calc {

std::wstring percent_text(double rate) {
    const std::string digits = percent_digits(rate);  // ASCII
    return std::wstring(digits.begin(), digits.end());
}

std::wstring reduced_rate_mark(double rate) {
    return L"\u8EFD" + percent_text(rate);  // 軽
}

}  // namespace z5calc
