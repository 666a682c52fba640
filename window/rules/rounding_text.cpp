#include "rounding_text.h"

namespace z5calc {

std::wstring_view rounding_rule_name(ResultRule rule) noexcept {
    switch (rule) {
        case ResultRule::Cut:
            return L"\u5207\u6368";  // 切捨
        case ResultRule::Up:
            return L"\u5207\u4E0A";  // 切上
        default:
            return L"\u56DB\u6368\u4E94\u5165";  // 四捨五入
    }
}

std::wstring rounding_mark(ResultRounding rounding) {
    if (rounding.decimals < 0) return {};
    std::wstring mark(1, static_cast<wchar_t>(L'0' + rounding.decimals));
    mark += L'\u6841';  // 桁
    switch (rounding.rule) {
        case ResultRule::Cut:
            return mark + L'\u2193';  // ↓
        case ResultRule::Up:
            return mark + L'\u2191';  // ↑
        default:
            return mark + L"5/4";
    }
}

std::wstring rounding_text(ResultRounding rounding) {
    if (rounding.decimals < 0) return L"\u7D50\u679C\u306F\u7AEF\u6570\u51E6\u7406\u306A\u3057";
    std::wstring text = L"\u7D50\u679C\u3092";  // 結果を
    if (rounding.decimals == 0) {
        text += L"\u6574\u6570\u306B";  // 整数に
    } else {
        text += L"\u5C0F\u6570";  // 小数
        text += static_cast<wchar_t>(L'0' + rounding.decimals);
        text += L"\u6841\u306B";  // 桁に
    }
    return text.append(rounding_rule_name(rounding.rule));
}

}  // namespace z5calc
