#include "accessible_base.h"

#include <cwchar>

#include "module_count.h"

namespace z5calc {
namespace {

// A legitimate reader fetches its result at once; one still there after this was left.
constexpr ULONGLONG kUnfetchedMs = 1000;

bool still_unfetched(LRESULT result, const wchar_t* name) noexcept {
    wchar_t now[256] = {};
    return GlobalGetAtomNameW(static_cast<ATOM>(result), now, 256) && std::wcscmp(now, name) == 0;
}

}  // namespace

LRESULT AccessibleBase::result_for(WPARAM wParam) noexcept {
    if (PendingResult* again = result_to_hand_out_again(wParam)) {
        again->handedOut = GetTickCount64();
        return again->result;
    }
    const LRESULT result = LresultFromObject(kAccessibleIid, wParam, this);
    remember(result, wParam);
    return result;
}

AccessibleBase::PendingResult* AccessibleBase::result_to_hand_out_again(WPARAM wParam) noexcept {
    PendingResult *oldest = nullptr, *oldestAlike = nullptr;
    bool slotFree = false;
    for (PendingResult& p : pending_) {
        if (!p.result) {
            slotFree = true;
            continue;
        }
        if (!oldest || p.handedOut < oldest->handedOut) oldest = &p;
        if (p.wParam == wParam && (!oldestAlike || p.handedOut < oldestAlike->handedOut))
            oldestAlike = &p;
    }
    // With every slot taken (a flood) nothing more is made, whatever it asks with. Only the
    // candidate's atom is read, as each read is a call to the system: one a client fetched
    // frees its slot for a new result.
    PendingResult* candidate = !slotFree ? oldest : oldestAlike;
    if (!candidate || (slotFree && GetTickCount64() - candidate->handedOut < kUnfetchedMs))
        return nullptr;
    if (still_unfetched(candidate->result, candidate->atomName)) return candidate;
    *candidate = {};
    return nullptr;
}

void AccessibleBase::remember(LRESULT result, WPARAM wParam) noexcept {
    if (result <= 0 || result != static_cast<ATOM>(result)) return;
    for (PendingResult& p : pending_) {
        if (p.result) continue;
        if (!GlobalGetAtomNameW(static_cast<ATOM>(result), p.atomName, 256)) return;
        p.result = result;
        p.wParam = wParam;
        p.handedOut = GetTickCount64();
        return;
    }
}

void AccessibleBase::disconnect_clients() noexcept {
    pending_ = {};
    // Holds of other apartments only; the window's own references are its to release.
    CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

HRESULT AccessibleBase::bstr(std::wstring_view text, BSTR* out) noexcept {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void AccessibleBase::set_i4(VARIANT* v, long value) noexcept {
    v->vt = VT_I4;
    v->lVal = value;
}

std::span<const InterfaceEntry> AccessibleBase::interfaces() noexcept {
    static constexpr InterfaceEntry kInterfaces[] = {
        interface_entry<AccessibleBase, IAccessible>(kAccessibleIid),
        interface_entry<AccessibleBase, IAccessible>(IID_IDispatch),
    };
    return kInterfaces;
}

HRESULT AccessibleBase::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AccessibleBase::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT AccessibleBase::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept {
    return E_NOTIMPL;
}

HRESULT AccessibleBase::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) noexcept {
    return E_NOTIMPL;
}

long AccessibleBase::child_of(const VARIANT& v) const noexcept {
    if (v.vt != VT_I4) return -1;
    return v.lVal >= CHILDID_SELF && v.lVal <= child_count() ? v.lVal : -1;
}

HRESULT AccessibleBase::reach(const VARIANT& child, long& c) const noexcept {
    if (!client_window()) return CO_E_OBJNOTCONNECTED;
    c = child_of(child);
    return c < 0 ? E_INVALIDARG : S_OK;
}

HRESULT AccessibleBase::get_accParent(IDispatch** parent) noexcept {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!client_window()) return CO_E_OBJNOTCONNECTED;
    return AccessibleObjectFromWindow(client_window(), static_cast<DWORD>(OBJID_WINDOW),
                                      IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT AccessibleBase::get_accChildCount(long* count) noexcept {
    if (!count) return E_POINTER;
    if (!client_window()) return CO_E_OBJNOTCONNECTED;
    *count = child_count();
    return S_OK;
}

HRESULT AccessibleBase::get_accChild(VARIANT child, IDispatch** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!client_window()) return CO_E_OBJNOTCONNECTED;
    return child_of(child) > 0 ? S_FALSE : E_INVALIDARG;  // simple elements have no object
}

HRESULT AccessibleBase::get_accDescription(VARIANT child, BSTR* text) noexcept {
    if (!text) return E_POINTER;
    *text = nullptr;
    long c = 0;
    const HRESULT hr = reach(child, c);
    return hr == S_OK ? S_FALSE : hr;
}

HRESULT AccessibleBase::get_accHelp(VARIANT child, BSTR* help) noexcept {
    return get_accDescription(child, help);
}

HRESULT AccessibleBase::get_accHelpTopic(BSTR* file, VARIANT, long* topic) noexcept {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return client_window() ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleBase::get_accFocus(VARIANT* focus) noexcept {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    const HWND window = client_window();
    if (!window) return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != window) return S_FALSE;
    set_i4(focus, CHILDID_SELF);
    return S_OK;
}

HRESULT AccessibleBase::get_accSelection(VARIANT* selection) noexcept {
    if (!selection) return E_POINTER;
    VariantInit(selection);
    return client_window() ? S_FALSE : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleBase::accSelect(long, VARIANT child) noexcept {
    long c = 0;
    const HRESULT hr = reach(child, c);
    return hr == S_OK ? S_FALSE : hr;
}

HRESULT AccessibleBase::accLocation(long* left, long* top, long* width, long* height,
                                    VARIANT child) noexcept {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    long c = 0;
    if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
    RECT r;
    const bool shown =
        c == CHILDID_SELF ? GetClientRect(client_window(), &r) != FALSE : child_rect(c, r);
    if (!shown) return S_FALSE;  // not shown: no place
    POINT corner = {r.left, r.top};
    ClientToScreen(client_window(), &corner);
    *left = corner.x;
    *top = corner.y;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

HRESULT AccessibleBase::accNavigate(long direction, VARIANT start, VARIANT* end) noexcept {
    if (!end) return E_POINTER;
    VariantInit(end);
    long from = 0;
    if (const HRESULT hr = reach(start, from); hr != S_OK) return hr;
    const long count = child_count();
    long to = 0;
    switch (direction) {
        case NAVDIR_FIRSTCHILD:
            to = from == CHILDID_SELF && count > 0 ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            to = from == CHILDID_SELF ? count : 0;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
            to = from != CHILDID_SELF && from < count ? from + 1 : 0;
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

HRESULT AccessibleBase::accHitTest(long x, long y, VARIANT* child) noexcept {
    if (!child) return E_POINTER;
    VariantInit(child);
    const HWND window = client_window();
    if (!window) return CO_E_OBJNOTCONNECTED;
    POINT p = {x, y};
    ScreenToClient(window, &p);
    RECT client;
    GetClientRect(window, &client);
    if (!PtInRect(&client, p)) return S_FALSE;
    for (long c = 1; c <= child_count(); ++c) {
        RECT r;
        if (child_rect(c, r) && PtInRect(&r, p)) {
            set_i4(child, c);  // the first child there, in the order of the ids
            return S_OK;
        }
    }
    set_i4(child, CHILDID_SELF);
    return S_OK;
}

HRESULT AccessibleBase::put_accName(VARIANT, BSTR) noexcept {
    return client_window() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT AccessibleBase::put_accValue(VARIANT, BSTR) noexcept {
    return client_window() ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

}  // namespace z5calc
