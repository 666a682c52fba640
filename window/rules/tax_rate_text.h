#pragma once

#include <string>

#include "commands.h"
#include "key_table.h"

// How the window names a tax rate. Portable, so that its rules are tested natively too.
namespace z5calc {

// A rate (a fraction, as the settings give it in thousandths) as people write it: 0.1 gives
// "10%", 0.08 "8%", 0.075 "7.5%". Rounded to a tenth of a percent; a rate no settings file can
// give (negative, not finite, beyond 1000 %) gives "?%".
std::wstring percent_text(double rate);

// The mark on the readout while the reduced rate is active: 「軽8%」.
std::wstring reduced_rate_mark(double rate);

// The switch between the two rates, as screen readers, the README and menus name it.
inline constexpr std::wstring_view kRateSwitchName = command_row(Command::SwitchRate).name;
inline constexpr std::wstring_view kRateSwitchShortcut = command_row(Command::SwitchRate).shortcut;

// Where the mark lies: in the display, beside the memory mark, left of the digits' room.
inline constexpr KeyRect kRateMarkRect = {30, 33, 44, 15};

}  // namespace z5calc
