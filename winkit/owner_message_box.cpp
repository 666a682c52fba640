#include "owner_message_box.h"

#include <algorithm>

namespace z5calc {
namespace {

// Set on a box once it is placed: a box activated again (the user came back to it) stays where
// the user may have moved it.
constexpr wchar_t kPlaced[] = L"z5calc.placed";

void centre_on(HWND box, HWND owner) noexcept {
    RECT boxRect = {}, ownerRect = {};
    if (!GetWindowRect(box, &boxRect) || !GetWindowRect(owner, &ownerRect)) return;
    const int width = boxRect.right - boxRect.left, height = boxRect.bottom - boxRect.top;
    int left = (ownerRect.left + ownerRect.right - width) / 2;
    int top = (ownerRect.top + ownerRect.bottom - height) / 2;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max<int>(work.left, std::min<int>(left, work.right - width));
        top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
    }
    SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Installed for this thread while its box is open. The box's owner is the window it belongs to.
LRESULT CALLBACK on_activate(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && !GetPropW(box, kPlaced)) {
        if (HWND owner = GetWindow(box, GW_OWNER)) centre_on(box, owner);
        SetPropW(box, kPlaced, reinterpret_cast<HANDLE>(1));
    } else if (code == HCBT_DESTROYWND) {
        RemovePropW(box, kPlaced);  // a window's properties go before it does
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int message_box_on_owner(HWND owner, const wchar_t* text, const wchar_t* caption,
                         UINT style) noexcept {
    if (!owner || !IsWindow(owner)) return MessageBoxW(owner, text, caption, style);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, on_activate, nullptr, GetCurrentThreadId());
    const int result = MessageBoxW(owner, text, caption, style);
    if (hook) UnhookWindowsHookEx(hook);
    return result;
}

}  // namespace z5calc
