#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

namespace z5calc {

// The caption of every message the component shows.
inline constexpr wchar_t kMessageTitle[] = L"z5calc";

// Shows msg to the user and returns the answer (IDOK ... IDNO, 0 for none). icon is the
// message-box style word. msgMode 0 asks for the talking companion; until it is reachable
// the message goes to the standard box as well, so nobody waits on a window they cannot see.
std::int16_t TalkMsgBox(HWND hWnd, std::wstring_view msg, std::int16_t icon,
                        std::int16_t msgMode) noexcept;

// The companion's part in closing the calculator: it is looked for by its window's caption.
void TalkClose() noexcept;

inline constexpr wchar_t kCompanionCaption[] =
    L"\u304A\u3057\u3083\u3079\u308A\u30BC\u30EB";  // おしゃべりゼル

}  // namespace z5calc
