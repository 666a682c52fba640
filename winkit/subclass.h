#pragma once

#include <windows.h>

#include <array>

namespace z5calc {

// What a hooked window offers every message to first. A nonzero result means the message is
// handled and is its result; 0 hands it on to the window's previous procedure.
class MessageCallback {
  public:
    virtual LRESULT mCallBackWindow(HWND hw, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept = 0;

  protected:
    ~MessageCallback() = default;
};

// The name of the property that holds a hooked window's callback: the handle as signed 32-bit
// decimal text ("1234"). Window handles carry 32 significant bits on both bitnesses.
using PropertyName = std::array<wchar_t, 12>;  // "-2147483648" and its end
PropertyName callback_property_name(HWND hwnd) noexcept;

inline constexpr wchar_t kOldProcProperty[] = L"OldProc";

// Hooks hwnd for obj, which must outlive the hook (UnSubClassWindow before it goes away). A
// window already hooked is left as it is (false), so the hook never becomes its own "OldProc".
bool SubClassWindow(HWND hwnd, MessageCallback* obj) noexcept;

// Puts the previous procedure back and removes both properties. Without "OldProc" nothing is
// touched.
void UnSubClassWindow(HWND hwnd) noexcept;

LRESULT CALLBACK SubClassProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace z5calc
