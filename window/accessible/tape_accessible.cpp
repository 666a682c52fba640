#include "tape_accessible.h"

#include "commands.h"

#include "tape_line_text.h"

namespace z5calc {
namespace {

constexpr wchar_t kTapeName[] = L"\u30C6\u30FC\u30D7";  // テープ
constexpr std::wstring_view kTapeShortcut = command_row(Command::ShowTape).shortcut;

}  // namespace

HWND TapeAccessible::client_window() const noexcept {
    return window_ ? window_->client_window() : nullptr;
}

long TapeAccessible::child_count() const noexcept {
    return window_ ? static_cast<long>(window_->line_count()) : 0;
}

bool TapeAccessible::child_rect(long child, RECT& r) const noexcept {
    return window_ && window_->line_rect(static_cast<std::size_t>(child - 1), r);
}

HRESULT TapeAccessible::get_accName(VARIANT child, BSTR* name) noexcept {
    return answer(child, name, [&](long c) {
        if (c == CHILDID_SELF) return bstr(kTapeName, name);
        return bstr(tape_line_name(window_->line(static_cast<std::size_t>(c - 1))), name);
    });
}

HRESULT TapeAccessible::get_accValue(VARIANT child, BSTR* value) noexcept {
    return answer(child, value, [](long) { return DISP_E_MEMBERNOTFOUND; });
}

HRESULT TapeAccessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
    return answer(child, role, [&](long c) {
        set_i4(role, c == CHILDID_SELF ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM);
        return S_OK;
    });
}

HRESULT TapeAccessible::get_accState(VARIANT child, VARIANT* state) noexcept {
    return answer(child, state, [&](long c) {
        RECT r;
        long flags = STATE_SYSTEM_READONLY;
        if (c != CHILDID_SELF && !child_rect(c, r)) flags |= STATE_SYSTEM_OFFSCREEN;
        // A correction selects the line it works on.
        if (c != CHILDID_SELF) flags |= STATE_SYSTEM_SELECTABLE;
        if (c != CHILDID_SELF && window_->marked_line() == static_cast<std::size_t>(c - 1))
            flags |= STATE_SYSTEM_SELECTED;
        // Kept between showings, hidden.
        if (c == CHILDID_SELF && !window_->shown()) flags |= STATE_SYSTEM_INVISIBLE;
        set_i4(state, flags);
        return S_OK;
    });
}

HRESULT TapeAccessible::get_accSelection(VARIANT* selection) noexcept {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    if (!window_) return CO_E_OBJNOTCONNECTED;
    const std::optional<std::size_t> marked = window_->marked_line();
    if (!marked) return S_FALSE;
    set_i4(selection, static_cast<long>(*marked + 1));
    return S_OK;
}

HRESULT TapeAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept {
    return answer(child, shortcut, [&](long c) {
        return c == CHILDID_SELF ? bstr(kTapeShortcut, shortcut) : S_FALSE;
    });
}

HRESULT TapeAccessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
    return answer(child, action, [](long) { return S_FALSE; });
}

HRESULT TapeAccessible::accDoDefaultAction(VARIANT child) noexcept {
    long c = 0;
    const HRESULT hr = reach(child, c);
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

}  // namespace z5calc
