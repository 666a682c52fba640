#include "calc_accessible.h"

#include <string>

#include "module_count.h"
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

HRESULT bstr(const std::wstring& text, BSTR* out) noexcept {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void set_i4(VARIANT* v, long value) noexcept {
    v->vt = VT_I4;
    v->lVal = value;
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
    set_i4(&polite, kLivePolite);
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

CalcAccessible::CalcAccessible(AccessibleWindow& window) noexcept : window_(&window) {
    module_hold();
}

CalcAccessible::~CalcAccessible() {
    module_let_go();
}

HRESULT CalcAccessible::QueryInterface(REFIID riid, void** ppv) noexcept {
    static constexpr InterfaceEntry kInterfaces[] = {
        interface_entry<CalcAccessible, IAccessible>(kAccessibleIid),
        interface_entry<CalcAccessible, IAccessible>(IID_IDispatch),
    };
    return query_interface(this, kInterfaces, riid, ppv);
}

ULONG CalcAccessible::AddRef() noexcept {
    return refs_.add();
}

ULONG CalcAccessible::Release() noexcept {
    const ULONG left = refs_.release();
    if (left == 0) delete this;
    return left;
}

HRESULT CalcAccessible::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CalcAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CalcAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
    return E_NOTIMPL;
}

HRESULT CalcAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) noexcept {
    return E_NOTIMPL;
}

long CalcAccessible::child_of(const VARIANT& v) noexcept {
    if (v.vt != VT_I4) return -1;
    return v.lVal >= CHILDID_SELF && v.lVal <= kChildCount ? v.lVal : -1;
}

HRESULT CalcAccessible::reach(const VARIANT& child, long& c) const noexcept {
    if (!window_) return CO_E_OBJNOTCONNECTED;
    c = child_of(child);
    return c < 0 ? E_INVALIDARG : S_OK;
}

bool CalcAccessible::child_rect(long child, RECT& r) const noexcept {
    if (!window_) return false;
    std::optional<AccessiblePart> part;
    if (is_key(child)) part = window_->key_part(key_of(child));
    if (child == kReadoutChild) part = window_->readout_part();
    if (child == kMemMarkChild) part = window_->mem_mark_part();
    if (child == kRateSwitchChild) part = window_->rate_switch_part();
    if (part) {
        r = part->rect;
        return part->visible;
    }
    return GetClientRect(window_->client_window(), &r) != FALSE;  // the client area itself
}

HRESULT CalcAccessible::get_accParent(IDispatch** parent) noexcept {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(window_->client_window(), static_cast<DWORD>(OBJID_WINDOW),
                                      IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT CalcAccessible::get_accChildCount(long* count) noexcept {
    if (!count) return E_POINTER;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    *count = kChildCount;
    return S_OK;
}

HRESULT CalcAccessible::get_accChild(VARIANT child, IDispatch** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    return child_of(child) > 0 ? S_FALSE : E_INVALIDARG;  // simple elements have no object
}

HRESULT CalcAccessible::get_accName(VARIANT child, BSTR* name) noexcept {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    const long c = child_of(child);
    try {
        if (c == CHILDID_SELF) return bstr(kCaption, name);
        if (is_key(c)) return bstr(std::wstring(key_name(key_of(c))), name);
        if (c == kMemMarkChild) return bstr(kMemory, name);
        if (c == kRateSwitchChild) return bstr(kRateSwitchName, name);
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
    if (!value) return E_POINTER;
    *value = nullptr;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    try {
        if (c == kRateSwitchChild) return bstr(window_->tax_rate_text(), value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (c != kReadoutChild) return DISP_E_MEMBERNOTFOUND;
    const std::string_view readout = window_->readout_text();
    if (readout.find("Err") != std::string_view::npos) return bstr(kError, value);
    try {
        return bstr(std::wstring(readout.begin(), readout.end()), value);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CalcAccessible::get_accDescription(VARIANT child, BSTR* text) noexcept {
    if (!text) return E_POINTER;
    *text = nullptr;
    if (!window_) return CO_E_OBJNOTCONNECTED;
    return child_of(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT CalcAccessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
    if (!role) return E_POINTER;
    VariantInit(role);
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    set_i4(role, c == CHILDID_SELF                    ? ROLE_SYSTEM_CLIENT
                 : is_key(c) || c == kRateSwitchChild ? ROLE_SYSTEM_PUSHBUTTON
                                                      : ROLE_SYSTEM_STATICTEXT);
    return S_OK;
}

HRESULT CalcAccessible::get_accState(VARIANT child, VARIANT* state) noexcept {
    if (!state) return E_POINTER;
    VariantInit(state);
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
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
}

HRESULT CalcAccessible::get_accHelp(VARIANT child, BSTR* help) noexcept {
    return get_accDescription(child, help);
}

HRESULT CalcAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) noexcept {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return window_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT CalcAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    if (c == kRateSwitchChild) return bstr(kRateSwitchShortcut, shortcut);
    if (!is_key(c)) return S_FALSE;
    try {
        return bstr(shortcut_text(key_of(c)), shortcut);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CalcAccessible::get_accFocus(VARIANT* focus) noexcept {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (!window_) return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != window_->client_window()) return S_FALSE;
    set_i4(focus, CHILDID_SELF);
    return S_OK;
}

HRESULT CalcAccessible::get_accSelection(VARIANT* selection) noexcept {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return window_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT CalcAccessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
    if (!action) return E_POINTER;
    *action = nullptr;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    return is_key(c) || c == kRateSwitchChild ? bstr(kPress, action) : S_FALSE;
}

HRESULT CalcAccessible::accSelect(long, VARIANT child) noexcept {
    if (!window_) return CO_E_OBJNOTCONNECTED;
    return child_of(child) < 0 ? E_INVALIDARG : S_FALSE;
}

HRESULT CalcAccessible::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) noexcept {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    RECT r;
    if (!child_rect(c, r)) return S_FALSE;  // not shown: no place
    POINT corner = {r.left, r.top};
    ClientToScreen(window_->client_window(), &corner);
    *left = corner.x;
    *top = corner.y;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT CalcAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) noexcept {
    if (!end) return E_POINTER;
    VariantInit(end);
    if (!window_) return CO_E_OBJNOTCONNECTED;
    const long from = child_of(start);
    if (from < 0) return E_INVALIDARG;
    long to = 0;
    switch (direction) {
        case NAVDIR_FIRSTCHILD:
            to = from == CHILDID_SELF ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            to = from == CHILDID_SELF ? kChildCount : 0;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
            to = from != CHILDID_SELF && from < kChildCount ? from + 1 : 0;
            break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
        case NAVDIR_LEFT:
            to = from > 1 ? from - 1 : 0;
            break;
        default:
            return E_INVALIDARG;
    }
    if (to == 0) return S_FALSE;
    set_i4(end, to);
    return S_OK;
}

HRESULT CalcAccessible::accHitTest(long x, long y, VARIANT* child) noexcept {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!window_) return CO_E_OBJNOTCONNECTED;
    POINT p = {x, y};
    ScreenToClient(window_->client_window(), &p);
    RECT client;
    GetClientRect(window_->client_window(), &client);
    if (!PtInRect(&client, p)) return S_FALSE;
    for (long c = 1; c <= kChildCount; ++c) {
        RECT r;
        if (child_rect(c, r) && PtInRect(&r, p)) {
            set_i4(child, c);  // keys first, in the order the mouse finds them
            return S_OK;
        }
    }
    set_i4(child, CHILDID_SELF);
    return S_OK;
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

HRESULT CalcAccessible::put_accName(VARIANT, BSTR) noexcept {
    return window_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT CalcAccessible::put_accValue(VARIANT, BSTR) noexcept {
    return window_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

}  // namespace z5calc
