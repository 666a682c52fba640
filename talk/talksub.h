#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "companion_contract.h"

// talksub: the link to the talking companion, talkzel2.exe: finding or starting it and the
// commands sent to it.
namespace z5calc {

inline constexpr const wchar_t* kCompanionCaption = companion::kCaption;
inline constexpr const wchar_t* kCompanionClass = companion::kClass;
inline constexpr const wchar_t* kOlderCompanionClass = companion::kOlderClass;

// Every message to the companion returns within this time, so a hung companion cannot freeze
// the host.
inline constexpr UINT kCompanionTimeoutMs = 5000;
// How long a freshly started companion is given to show its window.
inline constexpr DWORD kCompanionStartMs = 5000;

// The companion program: starting it, and telling its window from a look-alike. A test puts a
// recorder in its place.
class CompanionProgram {
  public:
    // Runs `application` with `arguments` (both whole; the command line quotes the path),
    // shown without activation, and waits at most `waitMs` for it to take input. False when it
    // cannot be started.
    virtual bool start(const std::wstring& application, const std::wstring& commandLine,
                       DWORD waitMs) noexcept;
    // True when `window` is the companion's own: its process runs one of `files`. A window of
    // another program with the companion's class, caption and properties is not.
    virtual bool owns(HWND window, const std::vector<std::wstring>& files) noexcept;

  protected:
    ~CompanionProgram() = default;
};

// The companion link of one component: the settings it follows and the window it found.
struct TalkLink {
    std::int16_t msgMode = 0;
    std::wstring appFolder;   // with its "\"
    std::wstring helpFolder;  // with its "\", or empty
    HWND talkWnd = nullptr;
    CompanionProgram* program = nullptr;  // null: the system's
};

// The command lines, path quoted: "<appFolder>talkzel2.exe" for a restart, and
// "<folder>talkzel2.exe" -x for a start, tried in the help file's folder first and then in the
// component's own folder, where the package puts the companion.
std::wstring companion_restart_path(const TalkLink& link);
std::vector<std::wstring> companion_start_paths(const TalkLink& link);
std::wstring quoted_command(const std::wstring& path, std::wstring_view arguments);

// Finds the companion (only a window of the companion's file in one of those folders) or
// starts it; link.talkWnd is null when there is none.
void TalkFindCompanion(TalkLink& link) noexcept;
// Sends a command; false when no companion took it within the time-out.
bool TalkSend(TalkLink& link, std::int16_t cmd, HWND replyWnd, std::wstring_view msg,
              std::int16_t style, std::int16_t x, std::int16_t y, std::wstring_view file) noexcept;
void TalkClose(TalkLink& link) noexcept;

// A text sent to a companion's control: as it is to a Unicode window, and in the system's ANSI
// code page to an ANSI one, as the companion contract has it.
bool send_text(HWND control, std::wstring_view text) noexcept;

}  // namespace z5calc
