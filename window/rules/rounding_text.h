#pragma once

#include <string>

#include "exact_rounding.h"
#include "key_table.h"

// How the window names the rounding of results and the grand total. Portable, so that its
// rules are tested natively too.
namespace z5calc {

// The rule's name: 「切捨」, 「切上」, 「四捨五入」.
std::wstring_view rounding_rule_name(ResultRule rule) noexcept;

// The mark in the display while results are rounded: the decimals and the rule, 「2桁5/4」,
// 「0桁↓」 (cut), 「2桁↑」 (up); empty while they are taken as computed.
std::wstring rounding_mark(ResultRounding rounding);

// The mark's tooltip and what screen readers read for it: 「結果を小数2桁に四捨五入」,
// 「結果を整数に切捨」; 「結果は端数処理なし」 while results are taken as computed.
std::wstring rounding_text(ResultRounding rounding);

// The grand total's mark 「GT」 and the names screen readers give the two marks.
inline constexpr std::wstring_view kGrandTotalMark = L"GT";
inline constexpr std::wstring_view kGrandTotalName =
    L"\u30B0\u30E9\u30F3\u30C9\u30C8\u30FC\u30BF\u30EB";  // グランドトータル
inline constexpr std::wstring_view kRoundingName = L"\u7AEF\u6570\u51E6\u7406";  // 端数処理

// Where the marks lie, at 96 DPI: in the display after the rate mark's place (or in it while the
// standard rate leaves it empty), each after the one before it that is shown.
inline constexpr KeyRect kGrandTotalMarkRect = {0, 33, 18, 15};
inline constexpr KeyRect kRoundingMarkRect = {0, 33, 40, 15};
inline constexpr int kMarkGap = 3;

}  // namespace z5calc
