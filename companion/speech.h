#pragma once

#include <string>

namespace talkzel {

// Speaks the text without waiting, through the system's speech service, on a thread of its
// own. Where there is no voice (or the service cannot speak, as under Wine) it stays silent.
void speak(const std::wstring& text) noexcept;
// Stops what is being spoken.
void stop_speaking() noexcept;
// Ends the speech thread before the program ends, waiting a moment at most.
void end_speech() noexcept;

}  // namespace talkzel
