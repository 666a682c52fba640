#include "tape.h"

#include <cmath>

namespace z5calc {

namespace {

// The marks' texts in TapeMark order (UTF-8).
constexpr const char* kMarkTexts[] = {
    "\xE9\x96\x8B\xE5\xA7\x8B",  // 開始
    "+",
    "\xE2\x88\x92",  // −
    "\xC3\x97",      // ×
    "\xC3\xB7",      // ÷
    "=",
    "%",
    "\xE7\xA8\x8E\xE8\xBE\xBC",  // 税込
    "\xE7\xA8\x8E\xE5\x88\xA5",  // 税別
    "\xE7\xA8\x8E",              // 税
    "MR",
    "AC",
    "CE",
    "\xE8\xBB\xA2\xE8\xA8\x98",  // 転記
    "\xE2\x86\x90",              // ←
    "M+",
    "M\xE2\x88\x92",  // M−
    "MC",
    "\xE7\xA8\x8E\xE7\x8E\x87",  // 税率
};
static_assert(std::size(kMarkTexts) == kTapeMarkCount);

}  // namespace

std::string percent_digits(double rate) {
    // Whole numbers only: no printf, whose floating-point formatting is large in a static DLL.
    if (!std::isfinite(rate) || rate < 0 || rate > 10) return "?%";
    const long long tenths = std::llround(rate * 1000);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text + "%";
}

std::string tape_key_text(const TapeLine& line) {
    std::string text = kMarkTexts[static_cast<std::size_t>(line.mark)];
    if (names_rate(line.mark)) text += " " + percent_digits(line.rate);
    return text;
}

std::string tape_text(const Tape& tape) {
    std::string text;
    text.reserve(tape.size() * 24);
    for (std::size_t i = 0; i < tape.size(); ++i) {
        text += tape_key_text(tape[i]);
        text += '\t';
        text += tape[i].number.view();
        text += "\r\n";
    }
    return text;
}

}  // namespace z5calc
