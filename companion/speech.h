#pragma once

#include <string>

namespace talkzel {

// Speaks the text without waiting, through the system's speech service. Where there is no
// voice (or the service cannot speak, as under Wine) it stays silent.
void speak(const std::wstring& text) noexcept;
void stop_speaking() noexcept;

}  // namespace talkzel
