#pragma once

#include <string>

#include "tape.h"

namespace z5calc {

// A line of the tape as a screen reader says it: the key by its accessible name (a tax key
// with its rate), then the number as the readout showed it: 「掛ける、1,234.」, 「税込
// 8%、1,080.」. The start of a call is 「開始」; an error readout is 「エラー」, as the readout
// itself is read.
std::wstring tape_line_name(const TapeLine& line);

}  // namespace z5calc
