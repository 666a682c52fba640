#pragma once

#include <string>

#include "tape.h"

namespace z5calc {

// The mark of a corrected line 「訂」, on the tape and in its text.
inline constexpr std::wstring_view kCorrectedMark = L"\u8A02";

// A line's key as the tape shows it: the label of the key it records ("×", "税込"), a tax key
// with the rate it used ("税込 8%"); the start of a call as 「開始」, the rate switch as "税率 8%".
std::wstring tape_key_text(const TapeLine& line);

// The whole tape as text for a spreadsheet: key, a tab and the number on each line, every
// line ended by CR LF; a corrected line has 「訂」 after a third tab.
std::wstring tape_text(const Tape& tape);

// A line of the tape as a screen reader says it: the key by its accessible name (a tax key
// with its rate), then the number as the readout showed it: 「掛ける、1,234.」, 「税込
// 8%、1,080.」. The start of a call is 「開始」; an error readout is 「エラー」, as the readout
// itself is read.
std::wstring tape_line_name(const TapeLine& line);

}  // namespace z5calc
