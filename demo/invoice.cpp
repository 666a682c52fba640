#include "invoice.h"

#include <cmath>
#include <cstdio>

namespace z5demo {

double rounded_tax(double amount, double rate, int taxMode) {
    // Ten significant digits of the product are exact for any invoice; below them is noise.
    const double tax = std::round(amount * rate * 1e6) / 1e6;
    if (taxMode == 0) return std::floor(tax);
    if (taxMode == 1) return std::ceil(tax);
    if (taxMode == 2 || taxMode == 3) return std::floor(tax + 0.5);
    return tax;
}

std::wstring yen_text(double amount) {
    if (!std::isfinite(amount)) return L"?";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", std::fabs(amount));
    std::string digits(text);
    std::string fraction = digits.substr(digits.find('.'));
    digits.erase(digits.find('.'));
    while (!fraction.empty() && (fraction.back() == '0' || fraction.back() == '.'))
        fraction.pop_back();
    std::wstring out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += L',';
        out += static_cast<wchar_t>(digits[i]);
    }
    out.insert(out.begin(), amount < 0 && out != L"0" ? 1 : 0, L'-');
    for (char c : fraction) out += static_cast<wchar_t>(c);
    return out;
}

}  // namespace z5demo
