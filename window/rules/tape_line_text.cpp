#include "tape_line_text.h"

#include <optional>

#include "key_table.h"
#include "readout_text.h"
#include "tax_rate_text.h"

namespace z5calc {
namespace {

// The key each mark records, in TapeMark order. The start of a call and the rate switch are
// no key of the face: they have words of their own.
constexpr std::optional<KeyId> kMarkKeys[] = {
    std::nullopt,  KeyId::Plus,    KeyId::Minus, KeyId::Times,  KeyId::Divide,
    KeyId::Equals, KeyId::Percent, KeyId::TaxIn, KeyId::TaxOut, KeyId::TaxAmount,
    KeyId::MR,     KeyId::AC,      KeyId::CE,    KeyId::Trans,  KeyId::Bs,
    KeyId::MPlus,  KeyId::MMinus,  KeyId::MC,    std::nullopt,
};
static_assert(std::size(kMarkKeys) == kTapeMarkCount);
constexpr std::wstring_view kStartWord = L"\u958B\u59CB";  // 開始
constexpr std::wstring_view kRateWord = L"\u7A0E\u7387";   // 税率

std::optional<KeyId> key_of(TapeMark mark) noexcept {
    return kMarkKeys[static_cast<std::size_t>(mark)];
}

// A tax key and the rate switch name the rate beside the key.
std::wstring with_rate(std::wstring_view word, const TapeLine& line) {
    std::wstring text(word);
    if (names_rate(line.mark)) text += L" " + percent_text(line.rate);
    return text;
}

}  // namespace

std::wstring tape_key_text(const TapeLine& line) {
    const std::optional<KeyId> key = key_of(line.mark);
    if (key) return with_rate(key_label(*key), line);
    return with_rate(line.mark == TapeMark::Start ? kStartWord : kRateWord, line);
}

std::wstring tape_text(const Tape& tape) {
    std::wstring text;
    text.reserve(tape.size() * 24);
    for (std::size_t i = 0; i < tape.size(); ++i) {
        const std::string_view number = tape[i].number.view();  // ASCII
        text += tape_key_text(tape[i]);
        text += L'\t';
        text.append(number.begin(), number.end());
        text += L"\r\n";
    }
    return text;
}

std::wstring tape_line_name(const TapeLine& line) {
    const std::optional<KeyId> key = key_of(line.mark);
    std::wstring name;
    if (key) {
        name = with_rate(key_name(*key), line);
    } else {
        name = with_rate(line.mark == TapeMark::Start ? kStartWord : kRateSwitchName, line);
    }
    const std::string_view number = line.number.view();
    if (number.empty()) return name;
    if (shows_error(number)) return name + L"\u3001\u30A8\u30E9\u30FC";
    return name + L"\u3001" + std::wstring(number.begin(), number.end());
}

}  // namespace z5calc
