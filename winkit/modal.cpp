#include "modal.h"

#include <vector>

namespace z5calc {
namespace {

struct DisableContext {
    HWND keep;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK disable_one(HWND hwnd, LPARAM param) {
    auto* context = reinterpret_cast<DisableContext*>(param);
    if (hwnd != context->keep && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        try {
            context->disabled->push_back(hwnd);
            EnableWindow(hwnd, FALSE);
        } catch (...) {
            // Out of memory: the window stays enabled rather than disabled for good.
        }
    }
    return TRUE;
}

// The window was hidden while the host's windows were still disabled, so the system had no
// window to give the activation to: it goes back to the one that had it before, with the
// keyboard in the same control, unless something else took it meanwhile.
void give_back_activation(HWND window, HWND active, HWND focus) noexcept {
    const HWND now = GetActiveWindow();
    if (now && now != window) return;
    if (!active || !IsWindow(active) || !IsWindowVisible(active) || !IsWindowEnabled(active))
        return;
    SetForegroundWindow(active);
    SetActiveWindow(active);
    if (focus && IsWindow(focus) && (focus == active || IsChild(active, focus))) SetFocus(focus);
}

}  // namespace

void run_modal(HWND window) noexcept {
    const HWND activeBefore = GetActiveWindow(), focusBefore = GetFocus();
    std::vector<HWND> disabled;
    DisableContext context{window, &disabled};
    EnumThreadWindows(GetCurrentThreadId(), disable_one, reinterpret_cast<LPARAM>(&context));
    ShowWindow(window, SW_SHOW);
    // The window can be hidden by a message sent from another thread, which GetMessage handles
    // without returning. So the loop waits for anything (sent messages included) and looks at
    // the window again after each.
    MSG msg;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (HWND hwnd : disabled) {
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    }
    give_back_activation(window, activeBefore, focusBefore);
}

void process_pending_messages() noexcept {
    MSG msg;
    // Bounded, so a window that keeps posting to itself cannot hold the caller here.
    for (int i = 0; i < 256 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void open_help(const wchar_t* helpFile, int topic) noexcept {
    if (!helpFile || !*helpFile) return;
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    static HMODULE viewer = LoadLibraryW(L"hhctrl.ocx");
    if (!viewer) return;
    auto help =
        reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpW")));
    constexpr UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
    if (help) help(GetDesktopWindow(), helpFile, kHelpContext, static_cast<DWORD_PTR>(topic));
}

}  // namespace z5calc
