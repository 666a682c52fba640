#include "tape_line_text.h"

#include <optional>

#include "key_table.h"
#include "readout_text.h"
#include "tax_rate_text.h"

namespace z5calc {
namespace {

// The key each mark records, in TapeMark order; the marks that are no key of the face have
// words of their own.
constexpr std::optional<KeyId> kMarkKeys[] = {
    std::nullopt,   KeyId::Plus,  KeyId::Minus,  KeyId::Times,     KeyId::Divide, KeyId::Equals,
    KeyId::Percent, KeyId::TaxIn, KeyId::TaxOut, KeyId::TaxAmount, KeyId::MR,     KeyId::AC,
    KeyId::CE,      KeyId::Trans, KeyId::Bs,     KeyId::MPlus,     KeyId::MMinus, KeyId::MC,
    std::nullopt,   std::nullopt, std::nullopt,
};
static_assert(std::size(kMarkKeys) == kTapeMarkCount);

struct MarkWords {
    TapeMark mark;
    std::wstring_view shown, spoken;
};
constexpr MarkWords kMarkWords[] = {
    {TapeMark::Start, L"\u958B\u59CB", L"\u958B\u59CB"},       // 開始
    {TapeMark::RateSwitch, L"\u7A0E\u7387", kRateSwitchName},  // 税率
    {TapeMark::GrandTotal, L"GT",
     L"\u30B0\u30E9\u30F3\u30C9\u30C8\u30FC\u30BF\u30EB"},  // グランドトータル
    {TapeMark::GrandTotalClear, L"GT\u30AF\u30EA\u30A2",    // GTクリア
     L"\u30B0\u30E9\u30F3\u30C9\u30C8\u30FC\u30BF\u30EB\u30AF\u30EA\u30A2"},
};

const MarkWords& words_of(TapeMark mark) noexcept {
    for (const MarkWords& w : kMarkWords) {
        if (w.mark == mark) return w;
    }
    return kMarkWords[0];
}

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
    return with_rate(key ? key_label(*key) : words_of(line.mark).shown, line);
}

std::wstring tape_text(const Tape& tape) {
    std::wstring text;
    text.reserve(tape.size() * 24);
    for (std::size_t i = 0; i < tape.size(); ++i) {
        const std::string_view number = tape[i].number.view();  // ASCII
        text += tape_key_text(tape[i]);
        text += L'\t';
        text.append(number.begin(), number.end());
        // A third field, so that readers of the first two keep working.
        if (tape[i].corrected) (text += L'\t') += kCorrectedMark;
        text += L"\r\n";
    }
    return text;
}

std::wstring tape_line_name(const TapeLine& line) {
    const std::optional<KeyId> key = key_of(line.mark);
    std::wstring name = with_rate(key ? key_name(*key) : words_of(line.mark).spoken, line);
    const std::string_view number = line.number.view();
    if (shows_error(number)) {
        name += L"\u3001\u30A8\u30E9\u30FC";  // 、エラー
    } else if (!number.empty()) {
        name += L"\u3001" + std::wstring(number.begin(), number.end());
    }
    if (line.corrected) name += std::wstring(L"\u3001") + kCorrectedMark.data();  // 、訂
    return name;
}

}  // namespace z5calc
