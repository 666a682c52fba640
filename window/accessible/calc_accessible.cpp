#include "calc_accessible.h"

#include <string>

#include "readout_text.h"
#include "rounding_text.h"
#include "tax_rate_text.h"

namespace z5calc {
namespace {

constexpr wchar_t kCaption[] = L"\u30BC\u30EB\u96FB\u5353";  // ゼル電卓
constexpr wchar_t kPress[] = L"\u62BC\u3059";                // 押す
constexpr wchar_t kError[] = L"\u30A8\u30E9\u30FC";          // エラー
constexpr wchar_t kMemory[] = L"\u30E1\u30E2\u30EA\u30FC";   // メモリー
constexpr wchar_t kTaxRateWord[] = L"\u7A0E\u7387 ";         // 税率

bool is_key(long child) noexcept {
    return child >= 1 && child <= static_cast<long>(kKeyCount);
}

KeyId key_of(long child) noexcept {
    return static_cast<KeyId>(child - 1);
}

}  // namespace

bool mark_live_region(HWND window) noexcept {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface, reinterpret_cast<void**>(&services)))) {
        return false;
    }
    VARIANT polite;
    VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = kLivePolite;
    const HRESULT hr =
        services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT),
                              CalcAccessible::kReadoutChild, kLiveSettingProperty, polite);
    services->Release();
    return SUCCEEDED(hr);
}

void clear_live_region(HWND window) noexcept {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                kAccPropServicesInterface, reinterpret_cast<void**>(&services)))) {
        return;
    }
    const MSAAPROPID props[] = {kLiveSettingProperty};
    services->ClearHwndProps(window, static_cast<DWORD>(OBJID_CLIENT),
                             CalcAccessible::kReadoutChild, props, 1);
    services->Release();
}

HWND CalcAccessible::client_window() const noexcept {
    return window_ ? window_->client_window() : nullptr;
}

bool CalcAccessible::child_rect(long child, RECT& r) const noexcept {
    if (!window_) return false;
    std::optional<AccessiblePart> part;
    if (is_key(child)) part = window_->key_part(key_of(child));
    if (child == kReadoutChild) part = window_->readout_part();
    if (child == kMemMarkChild) part = window_->mem_mark_part();
    if (child == kRateSwitchChild) part = window_->rate_switch_part();
    if (child == kGrandTotalChild || child == kRoundingChild) part = window_->mark_part(child);
    if (part) {
        r = part->rect;
        return part->visible;
    }
    return GetClientRect(window_->client_window(), &r) != FALSE;  // the client area itself
}

HRESULT CalcAccessible::get_accName(VARIANT child, BSTR* name) noexcept {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    const long c = child_of(child);
    try {
        if (c == CHILDID_SELF) return bstr(kCaption, name);
        if (is_key(c)) return bstr(key_name(key_of(c)), name);
        if (c == kMemMarkChild) return bstr(kMemory, name);
        if (c == kRateSwitchChild) return bstr(kRateSwitchName, name);
        if (c == kGrandTotalChild) return bstr(kGrandTotalName, name);
        if (c == kRoundingChild) return bstr(kRoundingName, name);
        if (c == kReadoutChild) {
            BSTR value = nullptr;
            const HRESULT hr = get_accValue(child, &value);
            if (FAILED(hr) || !window_->rate_just_switched()) {
                *name = value;
                return hr;
            }
            // 「税率 8%、1,234.」: the new rate, then the number it applies to.
            std::wstring said = std::wstring(kTaxRateWord) + window_->tax_rate_text() + L"\u3001" +
                                (value ? value : L"");
            SysFreeString(value);
            return bstr(said, name);
        }
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return E_INVALIDARG;
}

HRESULT CalcAccessible::get_accValue(VARIANT child, BSTR* value) noexcept {
    return answer(child, value, [&](long c) {
        if (c == kRateSwitchChild) return bstr(window_->tax_rate_text(), value);
        if (c == kGrandTotalChild) return bstr(window_->grand_total_value(), value);
        if (c == kRoundingChild) return bstr(window_->rounding_value(), value);
        if (c != kReadoutChild) return DISP_E_MEMBERNOTFOUND;
        const std::string_view readout = window_->readout_text();
        if (shows_error(readout)) return bstr(kError, value);
        return bstr(std::wstring(readout.begin(), readout.end()), value);
    });
}

HRESULT CalcAccessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
    return answer(child, role, [&](long c) {
        set_i4(role, c == CHILDID_SELF                    ? ROLE_SYSTEM_CLIENT
                     : is_key(c) || c == kRateSwitchChild ? ROLE_SYSTEM_PUSHBUTTON
                                                          : ROLE_SYSTEM_STATICTEXT);
        return S_OK;
    });
}

HRESULT CalcAccessible::get_accState(VARIANT child, VARIANT* state) noexcept {
    return answer(child, state, [&](long c) {
        long flags = 0;
        RECT r;
        if (c == CHILDID_SELF) {
            flags = STATE_SYSTEM_FOCUSABLE;
            if (GetFocus() == window_->client_window()) flags |= STATE_SYSTEM_FOCUSED;
        } else if (!child_rect(c, r)) {
            flags = STATE_SYSTEM_INVISIBLE;
        } else if (is_key(c)) {
            if (window_->pressed_key() == key_of(c)) flags = STATE_SYSTEM_PRESSED;
        } else if (c != kRateSwitchChild) {
            flags = STATE_SYSTEM_READONLY;
        }
        set_i4(state, flags);
        return S_OK;
    });
}

HRESULT CalcAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept {
    return answer(child, shortcut, [&](long c) {
        if (c == kRateSwitchChild) return bstr(kRateSwitchShortcut, shortcut);
        return is_key(c) ? bstr(shortcut_text(key_of(c)), shortcut) : S_FALSE;
    });
}

HRESULT CalcAccessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
    return answer(child, action, [&](long c) {
        return is_key(c) || c == kRateSwitchChild ? bstr(kPress, action) : S_FALSE;
    });
}

HRESULT CalcAccessible::accDoDefaultAction(VARIANT child) noexcept {
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    if (c == kRateSwitchChild) {
        window_->switch_tax_rate();
        return S_OK;
    }
    if (!is_key(c)) return DISP_E_MEMBERNOTFOUND;
    return window_->click_key(key_of(c)) ? S_OK : E_FAIL;
}

}  // namespace z5calc
