#include "tape_accessible.h"

#include "tape_line_name.h"
#include "tape_window.h"

namespace z5calc {
namespace {

constexpr wchar_t kTapeName[] = L"\u30C6\u30FC\u30D7";  // テープ
constexpr wchar_t kTapeShortcut[] = L"Ctrl+H";

}  // namespace

HWND TapeAccessible::client_window() const noexcept {
    return window_ ? window_->hwnd() : nullptr;
}

long TapeAccessible::child_count() const noexcept {
    return window_ ? static_cast<long>(window_->line_count()) : 0;
}

bool TapeAccessible::child_rect(long child, RECT& r) const noexcept {
    return window_ && window_->line_rect(static_cast<std::size_t>(child - 1), r);
}

HRESULT TapeAccessible::get_accName(VARIANT child, BSTR* name) noexcept {
    if (!name) return E_POINTER;
    *name = nullptr;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    if (c == CHILDID_SELF) return bstr(kTapeName, name);
    try {
        return bstr(tape_line_name(window_->line(static_cast<std::size_t>(c - 1))), name);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT TapeAccessible::get_accValue(VARIANT child, BSTR* value) noexcept {
    if (!value) return E_POINTER;
    *value = nullptr;
    long c = 0;
    const HRESULT hr = reach(child, c);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

HRESULT TapeAccessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
    if (!role) return E_POINTER;
    VariantInit(role);
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    set_i4(role, c == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
    return S_OK;
}

HRESULT TapeAccessible::get_accState(VARIANT child, VARIANT* state) noexcept {
    if (!state) return E_POINTER;
    VariantInit(state);
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    RECT r;
    long flags = STATE_SYSTEM_READONLY;
    if (c != CHILDID_SELF && !child_rect(c, r)) flags |= STATE_SYSTEM_OFFSCREEN;
    set_i4(state, flags);
    return S_OK;
}

HRESULT TapeAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    return c == CHILDID_SELF ? bstr(kTapeShortcut, shortcut) : S_FALSE;
}

HRESULT TapeAccessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
    if (!action) return E_POINTER;
    *action = nullptr;
    long c = 0;
    const HRESULT hr = reach(child, c);
    return hr == S_OK ? S_FALSE : hr;
}

HRESULT TapeAccessible::accDoDefaultAction(VARIANT child) noexcept {
    long c = 0;
    const HRESULT hr = reach(child, c);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

}  // namespace z5calc
