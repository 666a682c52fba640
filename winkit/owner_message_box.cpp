#include "owner_message_box.h"

#include <algorithm>
#include <utility>

namespace z5calc {
namespace {

// The box this thread is opening, for the hook; a box opened from inside another's message
// loop has its own and puts the outer one back when it returns.
struct Opening {
    HWND owner = nullptr;
    HHOOK hook = nullptr;
};
thread_local Opening* opening = nullptr;

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

LRESULT CALLBACK on_activate(int code, WPARAM wParam, LPARAM lParam) {
    Opening* current = opening;
    if (!current) return CallNextHookEx(nullptr, code, wParam, lParam);
    const HHOOK hook = current->hook;
    if (code == HCBT_ACTIVATE && current->owner) {
        // The first window activated is the box: its size is final, it is not yet seen.
        centre_on(reinterpret_cast<HWND>(wParam), current->owner);
        current->owner = nullptr;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

int message_box_on_owner(HWND owner, const wchar_t* text, const wchar_t* caption,
                         UINT style) noexcept {
    if (!owner || !IsWindow(owner)) return MessageBoxW(owner, text, caption, style);
    Opening mine{owner, SetWindowsHookExW(WH_CBT, on_activate, nullptr, GetCurrentThreadId())};
    Opening* outer = std::exchange(opening, &mine);
    const int result = MessageBoxW(owner, text, caption, style);
    opening = outer;
    if (mine.hook) UnhookWindowsHookEx(mine.hook);
    return result;
}

}  // namespace z5calc
