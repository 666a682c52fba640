#pragma once

#include <windows.h>
#include <oleacc.h>

#include <array>
#include <string_view>

#include "com_object.h"

namespace z5calc {

// IAccessible's identity, stated here rather than taken from a library: the 64-bit import
// library of oleacc names a code thunk IID_IAccessible, and the linker would take that first.
inline constexpr IID kAccessibleIid = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// What every accessible object of the component's windows shares: identity, the IDispatch a
// client never uses, and the children as numbered elements (1..child_count()) with places in
// the window's client area. A derived object says what its children are called and do.
// Once client_window() answers null (the window went) every call answers CO_E_OBJNOTCONNECTED;
// a client of the window's apartment may keep the object as long as it likes, and the module
// stays loaded while it does. Other apartments and processes are disconnected then.
class AccessibleBase : public ComIdentity<AccessibleBase, IAccessible> {
  public:
    static std::span<const InterfaceEntry> interfaces() noexcept;

    // The answer to WM_GETOBJECT. Each result no client has fetched yet keeps, in the system's
    // accessibility library, a file mapping, a global atom and a hold on this object; so a
    // result left unfetched for a second, or the oldest once kPendingResults wait, is handed
    // out again instead of a new one. Results are known as unfetched by their atom, which a
    // fetch deletes; where a result is no atom, each request gets a new one.
    LRESULT result_for(WPARAM wParam) noexcept;

    // IDispatch: no type information; clients use the IAccessible methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                            DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override;
    // IAccessible: the parts that depend only on where the children are.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child,
                                               long* topic) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start,
                                          VARIANT* end) noexcept override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) noexcept override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) noexcept override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) noexcept override;

  protected:
    AccessibleBase() noexcept = default;
    ~AccessibleBase() override = default;

    // The window whose client area this is; null once it went.
    virtual HWND client_window() const noexcept = 0;
    virtual long child_count() const noexcept = 0;
    // A child's rectangle in client pixels (1..child_count()); false for one not shown.
    virtual bool child_rect(long child, RECT& r) const noexcept = 0;

    // The child id a VARIANT names: CHILDID_SELF or 1..child_count(); -1 for anything else.
    long child_of(const VARIANT& v) const noexcept;
    // S_OK with the child id in c while the window is there and the id names a child; else
    // CO_E_OBJNOTCONNECTED or E_INVALIDARG, the answer every method gives then.
    HRESULT reach(const VARIANT& child, long& c) const noexcept;

    // The window goes: what other apartments and processes hold on the object (proxies and
    // unfetched results) is let go, so that none of it keeps the module loaded.
    void disconnect_clients() noexcept;

    // The shape of every getter: `out` checked and emptied, the child reached, then answer(c)
    // gives the result; running out of memory on the way answers E_OUTOFMEMORY.
    template <class Out, class Answer>
    HRESULT answer(const VARIANT& child, Out* out, Answer&& answer) const noexcept {
        if (!out) return E_POINTER;
        empty(out);
        long c = 0;
        if (const HRESULT hr = reach(child, c); hr != S_OK) return hr;
        try {
            return answer(c);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    static void empty(BSTR* out) noexcept { *out = nullptr; }
    static void empty(VARIANT* out) noexcept { VariantInit(out); }

    static HRESULT bstr(std::wstring_view text, BSTR* out) noexcept;
    static void set_i4(VARIANT* v, long value) noexcept;

  private:
    static constexpr std::size_t kPendingResults = 8;
    struct PendingResult {
        LRESULT result = 0;
        WPARAM wParam = 0;
        ULONGLONG handedOut = 0;
        wchar_t atomName[256] = {};  // what the atom read when the result was made
    };
    PendingResult* result_to_hand_out_again(WPARAM wParam) noexcept;
    void remember(LRESULT result, WPARAM wParam) noexcept;

    std::array<PendingResult, kPendingResults> pending_{};
};

}  // namespace z5calc
