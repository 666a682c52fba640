#pragma once

#include <windows.h>

namespace z5calc {

// Shows `window` and runs the thread's messages until it is hidden or destroyed. Meanwhile the
// thread's other enabled top-level windows (the host's) are disabled; they are enabled again
// afterwards. A WM_QUIT ends the display and is posted again for the host's own loop.
void run_modal(HWND window) noexcept;

// Dispatches what is waiting in the thread's queue, without waiting for more.
void process_pending_messages() noexcept;

// Opens helpFile at the topic with the system's help viewer. A missing viewer or file does
// nothing.
void open_help(const wchar_t* helpFile, int topic) noexcept;

}  // namespace z5calc
