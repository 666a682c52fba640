#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "tape.h"

// The readout's number and the tape through the system clipboard.
namespace z5calc {

// The readout as a number a spreadsheet takes; false when it is none or the clipboard refuses.
bool copy_readout(HWND owner, std::string_view readout) noexcept;
// Key TAB number per line, CR LF: two columns in a spreadsheet. False for an empty tape.
bool copy_tape(HWND owner, const Tape& tape) noexcept;
// The number on the clipboard, if its text is one.
std::optional<double> clipboard_number(HWND owner) noexcept;

}  // namespace z5calc
