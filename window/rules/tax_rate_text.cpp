#include "tax_rate_text.h"

#include <cmath>

namespace z5calc {

std::wstring percent_text(double rate) {
    if (!std::isfinite(rate) || rate < 0 || rate > 10) return L"?%";
    const long long tenths = std::llround(rate * 1000);
    std::wstring text = std::to_wstring(tenths / 10);
    if (tenths % 10) text += L"." + std::to_wstring(tenths % 10);
    return text + L"%";
}

std::wstring reduced_rate_mark(double rate) {
    return L"\u8EFD" + percent_text(rate);  // 軽
}

}  // namespace z5calc
