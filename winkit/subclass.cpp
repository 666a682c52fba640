#include "subclass.h"

#include <cstdint>

namespace z5calc {

PropertyName callback_property_name(HWND hwnd) noexcept {
    auto handle = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd));
    // The digits come out lowest first; they are copied into the name the other way round.
    PropertyName name{};
    wchar_t digits[11];
    int count = 0;
    std::int64_t rest = handle < 0 ? -static_cast<std::int64_t>(handle) : handle;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + rest % 10);
        rest /= 10;
    } while (rest);
    int at = 0;
    if (handle < 0) name[at++] = L'-';
    while (count) name[at++] = digits[--count];
    return name;
}

bool SubClassWindow(HWND hwnd, MessageCallback* obj) noexcept {
    if (!IsWindow(hwnd) || GetPropW(hwnd, kOldProcProperty)) return false;
    const PropertyName name = callback_property_name(hwnd);
    if (!SetPropW(hwnd, name.data(), obj)) return false;
    LONG_PTR old = SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubClassProc));
    if (!old) {
        RemovePropW(hwnd, name.data());
        return false;
    }
    SetPropW(hwnd, kOldProcProperty, reinterpret_cast<HANDLE>(old));
    return true;
}

void UnSubClassWindow(HWND hwnd) noexcept {
    HANDLE old = GetPropW(hwnd, kOldProcProperty);
    if (!old) return;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(hwnd, callback_property_name(hwnd).data());
    RemovePropW(hwnd, kOldProcProperty);
}

LRESULT CALLBACK SubClassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    auto* obj = static_cast<MessageCallback*>(GetPropW(hwnd, callback_property_name(hwnd).data()));
    if (obj) {
        if (LRESULT r = obj->mCallBackWindow(hwnd, uMsg, wParam, lParam)) return r;
    }
    auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProperty));
    // Between the procedure swap and the "OldProc" property no message is expected; should one
    // come, the default handling is the only safe answer.
    if (!old) return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    return CallWindowProcW(old, hwnd, uMsg, wParam, lParam);
}

}  // namespace z5calc
