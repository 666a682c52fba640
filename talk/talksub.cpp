#include "talksub.h"

#include <vector>

#include "program_window.h"

namespace z5calc {
namespace {

CompanionProgram& program_of(const TalkLink& link) {
    static struct : CompanionProgram {
    } system;
    return link.program ? *link.program : system;
}

// The first window of that class with the companion's caption that the companion's own file
// runs; windows of other programs that look the same are passed over.
HWND find_window(const TalkLink& link, const wchar_t* className) noexcept {
    try {
        const std::vector<std::wstring> files = companion_start_paths(link);
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, className, kCompanionCaption)))
            if (program_of(link).owns(window, files)) return window;
    } catch (...) {
    }
    return nullptr;
}

HWND find_companion(const TalkLink& link, bool olderToo) noexcept {
    HWND found = find_window(link, kCompanionClass);
    if (!found && olderToo) found = find_window(link, kOlderCompanionClass);
    return found;
}

bool send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kCompanionTimeoutMs,
                               &result) != 0;
}

// A 16-bit value widened with its sign, as the properties hold it.
HANDLE property_value(std::int32_t value) noexcept {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value));
}

bool start(TalkLink& link, const std::wstring& path, std::wstring_view arguments) noexcept {
    try {
        return program_of(link).start(path, quoted_command(path, arguments), kCompanionStartMs);
    } catch (...) {
        return false;
    }
}

// A companion just started shows its window after a moment: it is looked for until then,
// within the start time, without spinning.
HWND wait_for_companion(const TalkLink& link) noexcept {
    const ULONGLONG end = GetTickCount64() + kCompanionStartMs;
    for (;;) {
        if (HWND found = find_companion(link, false)) return found;
        if (GetTickCount64() >= end) return nullptr;
        Sleep(20);
    }
}

}  // namespace

bool CompanionProgram::start(const std::wstring& application, const std::wstring& commandLine,
                             DWORD waitMs) noexcept {
    try {
        std::wstring line = commandLine;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNOACTIVATE;
        PROCESS_INFORMATION pi = {};
        // The application is named, so nothing else on the search path can run in its place.
        if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            return false;
        }
        WaitForInputIdle(pi.hProcess, waitMs);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    } catch (...) {
        return false;
    }
}

bool CompanionProgram::owns(HWND window, const std::vector<std::wstring>& files) noexcept {
    return window_runs_one_of(window, files);
}

std::wstring companion_restart_path(const TalkLink& link) {
    return link.appFolder + companion::kFile;
}

std::vector<std::wstring> companion_start_paths(const TalkLink& link) {
    std::vector<std::wstring> paths;
    if (!link.helpFolder.empty()) paths.push_back(link.helpFolder + companion::kFile);
    const std::wstring own = link.appFolder + companion::kFile;
    if (paths.empty() || paths.front() != own) paths.push_back(own);
    return paths;
}

std::wstring quoted_command(const std::wstring& path, std::wstring_view arguments) {
    std::wstring line = L"\"" + path + L"\"";
    if (!arguments.empty()) {
        line += L" ";
        line += arguments;
    }
    return line;
}

void TalkFindCompanion(TalkLink& link) noexcept {
    link.talkWnd = find_companion(link, true);
    if (link.talkWnd && !GetPropW(link.talkWnd, companion::kMsg)) {
        // A companion that takes no commands is replaced by a fresh one.
        send(link.talkWnd, WM_CLOSE, 0, 0);
        link.talkWnd = nullptr;
        try {
            const bool started = start(link, companion_restart_path(link), L"");
            link.talkWnd = started ? wait_for_companion(link) : find_companion(link, false);
        } catch (...) {
        }
        return;
    }
    if (!link.talkWnd) {
        try {
            for (const std::wstring& path : companion_start_paths(link)) {
                if (!start(link, path, L"-x")) continue;
                link.talkWnd = wait_for_companion(link);
                break;
            }
        } catch (...) {
        }
    }
}

bool send_text(HWND control, std::wstring_view text) noexcept {
    try {
        if (!control) return false;
        if (IsWindowUnicode(control)) {
            const std::wstring wide(text);
            return send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        }
        const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
        std::vector<char> ansi(static_cast<std::size_t>(size) + 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(),
                            size, nullptr, nullptr);
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ansi.data()),
                                   SMTO_ABORTIFHUNG, kCompanionTimeoutMs, &result) != 0;
    } catch (...) {
        return false;
    }
}

bool TalkSend(TalkLink& link, std::int16_t cmd, HWND replyWnd, std::wstring_view msg,
              std::int16_t style, std::int16_t x, std::int16_t y, std::wstring_view file) noexcept {
    if (link.msgMode != 0) return false;
    TalkFindCompanion(link);
    HWND companion = link.talkWnd;
    if (!companion) return false;
    SetPropW(companion, companion::kCmd, property_value(cmd));
    SetPropW(companion, companion::kReplyWnd, replyWnd);
    SetPropW(companion, companion::kIcon, property_value(style));
    SetPropW(companion, companion::kX, property_value(x));
    SetPropW(companion, companion::kY, property_value(y));
    send_text(static_cast<HWND>(GetPropW(companion, companion::kMsg)), msg);
    send_text(static_cast<HWND>(GetPropW(companion, companion::kFileText)), file);
    return send(companion, WM_LBUTTONDBLCLK, 0, 0);
}

void TalkClose(TalkLink& link) noexcept {
    link.talkWnd = find_companion(link, true);
    if (!link.talkWnd) return;
    if (GetPropW(link.talkWnd, companion::kMsg)) {
        TalkSend(link, companion::kCalculatorClosing, nullptr, L"", 0, 0, 0, L"");
    } else {
        send(link.talkWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace z5calc
