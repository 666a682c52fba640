// talkzel2.exe, the talking companion: it waits, hidden, for the calculator component's
// commands on its main window and presents and speaks their messages.
//
// Contract with the component: the main window has the class "ThunderRT6FormDC" and the caption
// "おしゃべりゼル", and publishes the properties "TalkMsg" and "TalkFile" (its two text
// controls). A double-click on it is a command, read from the properties TalkCmd, TalkhWnd,
// TalkIcon, TalkX, TalkY and the text controls. Command 1 presents the message; the answer is
// set as "TalkSel" before the window named by TalkhWnd is double-clicked. Command 5 (the
// calculator closes) expects nothing. WM_CLOSE ends the program; so does the end of the last
// process that used it.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_messages.h"
#include "companion_contract.h"
#include "present_window.h"
#include "program_window.h"
#include "speech.h"
#include "user_processes.h"
#include "window_base.h"

namespace talkzel {
namespace {

using namespace z5calc::companion;
constexpr UINT_PTR kUsersTimer = 1;
constexpr UINT kUsersCheckMs = 1000;

INT_PTR prop(HWND hwnd, const wchar_t* name) {
    return reinterpret_cast<INT_PTR>(GetPropW(hwnd, name));
}

// The most of a message that is presented and spoken: a text of any length from any process
// must leave the companion at work, and no one reads a longer message.
constexpr int kMessageLimit = 100000;

std::wstring window_text(HWND hwnd) {
    const int length = std::min(GetWindowTextLengthW(hwnd), kMessageLimit);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A reply window of this very process (a command naming the companion itself) would be told
// of the answer by the double-click that is a command here: the message would come again
// after every OK.
bool own_window(HWND hwnd) {
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return process == GetCurrentProcessId();
}

class Companion final : public z5calc::WindowBase {
  public:
    bool create() {
        // Hosts find the companion by its class and caption: the caption comes last, once the
        // window takes commands and its message loop is about to run.
        if (!create_window(kClass, CS_DBLCLKS, WS_EX_TOOLWINDOW, WS_POPUP, L"", 0, 0, 1, 1,
                           nullptr)) {
            return false;
        }
        // The text controls stay hidden: they only carry the texts of a command.
        message_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_MULTILINE, 0, 0, 1, 1, hwnd(),
                                   nullptr, code_module(), nullptr);
        file_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 1, 1, hwnd(), nullptr,
                                code_module(), nullptr);
        SetPropW(hwnd(), kMsg, message_);
        SetPropW(hwnd(), kFileText, file_);
        users_.add_parent();
        SetTimer(hwnd(), kUsersTimer, kUsersCheckMs, nullptr);
        SetWindowTextW(hwnd(), kCaption);
        return true;
    }
    bool dialog_message(MSG& msg) { return present_.dialog_message(msg); }

  private:
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        switch (message) {
            case WM_LBUTTONDBLCLK:
                // The command is taken now; presenting it waits until the sender has its answer
                // back, so a component's synchronous send returns at once.
                command_ = static_cast<int>(prop(hwnd(), kCmd));
                reply_ = reinterpret_cast<HWND>(prop(hwnd(), kReplyWnd));
                users_.add_owner_of(reply_);
                style_ = static_cast<UINT>(static_cast<std::uint16_t>(prop(hwnd(), kIcon)));
                at_ = {static_cast<int>(prop(hwnd(), kX)), static_cast<int>(prop(hwnd(), kY))};
                try {
                    text_ = window_text(message_);
                } catch (...) {
                    text_.clear();
                }
                PostMessageW(hwnd(), z5calc::kPresentMessage, 0, 0);
                return 0;
            case z5calc::kPresentMessage:
                run_command();
                return 0;
            case WM_TIMER:
                // Nobody left to talk to: the companion goes too.
                if (wParam == kUsersTimer && !users_.any_running()) DestroyWindow(hwnd());
                return 0;
            case WM_CLOSE:
                DestroyWindow(hwnd());
                return 0;
            case WM_DESTROY:
                KillTimer(hwnd(), kUsersTimer);
                RemovePropW(hwnd(), kMsg);
                RemovePropW(hwnd(), kFileText);
                RemovePropW(hwnd(), kSel);
                PostQuitMessage(0);
                return 0;
        }
        return DefWindowProcW(hwnd(), message, wParam, lParam);
    }

    void run_command() noexcept {
        if (command_ == kCalculatorClosing) {  // the calculator is closing: nothing left to say
            stop_speaking();
            return;
        }
        if (command_ != kPresent) return;
        POINT centre = at_;
        RECT caller = {};
        if (!centre.x && !centre.y && reply_ && GetWindowRect(reply_, &caller)) {
            centre = {(caller.left + caller.right) / 2, (caller.top + caller.bottom) / 2};
        }
        if (!centre.x && !centre.y)
            centre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
        HWND reply = reply_;
        HWND self = hwnd();
        try {
            const bool shown = present_.show(
                text_, style_, centre, GetModuleHandleW(nullptr), [reply, self](int answer) {
                    stop_speaking();
                    // The answer is in place before the caller is told.
                    SetPropW(self, kSel, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(answer)));
                    if (reply && !own_window(reply)) PostMessageW(reply, WM_LBUTTONDBLCLK, 0, 0);
                });
            if (shown) speak(text_);
        } catch (...) {
        }
    }

    HWND message_ = nullptr, file_ = nullptr;
    PresentWindow present_;
    UserProcesses users_;
    int command_ = 0;
    HWND reply_ = nullptr;
    UINT style_ = 0;
    POINT at_ = {};
    std::wstring text_;
};

// A companion of this very file already at work; another program's window that only looks
// like one does not count.
bool already_running() {
    const std::vector<std::wstring> self = {z5calc::own_program_file()};
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, kClass, kCaption)))
        if (z5calc::window_runs_one_of(window, self)) return true;
    return false;
}

}  // namespace
}  // namespace talkzel

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // One companion per desktop: a second start leaves the running one at work.
    if (talkzel::already_running()) return 0;
    CoInitialize(nullptr);
    talkzel::Companion companion;
    if (!companion.create()) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (companion.dialog_message(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    talkzel::end_speech();
    CoUninitialize();
    return 0;
}
