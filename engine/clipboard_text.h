#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the calculator puts on the clipboard and what it takes from it. Portable: no locale, no
// Windows header.
namespace z5calc {

// The longest text a paste looks at.
inline constexpr std::size_t kPasteLimit = 512;

// The readout's number as plain text: no group separators and no point at the end ("3,600." gives
// "3600", "-0.5" stays). Nothing for a readout that is no number ("Error", "-").
std::optional<std::string> copied_text(std::string_view readout);

// A pasted number: surrounding spaces, an optional sign and currency sign (¥ ￥ $ € £) in either
// order, digits with or without "," groups of three, one ".", and a trailing "=" or "円"; after
// ¥ or 円 a dash right after the digits closes the price ("¥1,234-" is 1,234). Full-width
// digits, signs, comma, point, equals and space count as their ASCII forms. Nothing for any
// other text or one longer than kPasteLimit characters. The value may be beyond the display.
std::optional<double> pasted_number(std::wstring_view text) noexcept;

}  // namespace z5calc
