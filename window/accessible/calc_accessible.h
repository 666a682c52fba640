#pragma once

#include <windows.h>
#include <oleacc.h>

#include "accessible_window.h"
#include "com_object.h"

namespace z5calc {

// IAccessible's identity, stated here rather than taken from a library: the 64-bit import
// library of oleacc names a code thunk IID_IAccessible, and the linker would take that first.
inline constexpr IID kAccessibleIid = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// The annotation service's class and interface, stated for the same reason, and the UI
// Automation live setting as an annotation property (older headers lack its name).
inline constexpr GUID kAccPropServicesClass = {
    0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
inline constexpr GUID kAccPropServicesInterface = {
    0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
inline constexpr GUID kLiveSettingProperty = {
    0xC12BCD8E, 0x2A8E, 0x4950, {0x8A, 0xE7, 0x36, 0x25, 0x11, 0x1D, 0x58, 0xEB}};
inline constexpr long kLivePolite = 1;

// Marks the readout of `window` as a polite live region through the system's annotation
// service, so that screen readers speak new results unasked; on false (no service, no COM on
// the thread) nothing else changes. clear_live_region undoes it before the window goes.
bool mark_live_region(HWND window) noexcept;
void clear_live_region(HWND window) noexcept;

// The calculator's client area for screen readers (MSAA, which the system also offers to UI
// Automation). Its children are simple elements: child id 1 + KeyId for each key, then the
// readout, the memory mark and the tax rate switch. Once the window is gone every call answers
// CO_E_OBJNOTCONNECTED; a client may keep the object as long as it likes, and the module stays
// loaded while it does.
class CalcAccessible final : public IAccessible {
  public:
    static constexpr long kReadoutChild = 33;
    static constexpr long kMemMarkChild = 34;
    static constexpr long kRateSwitchChild = 35;  // the tax rate switch (F8, the rate mark)
    static constexpr long kChildCount = 35;

    explicit CalcAccessible(AccessibleWindow& window) noexcept;
    CalcAccessible(const CalcAccessible&) = delete;
    CalcAccessible& operator=(const CalcAccessible&) = delete;

    // The window goes: from now on nothing reaches it.
    void disconnect() noexcept { window_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;
    // IDispatch: no type information; clients use the IAccessible methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID,
                                            DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child,
                                               long* topic) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child,
                                                      BSTR* shortcut) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start,
                                          VARIANT* end) noexcept override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) noexcept override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) noexcept override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) noexcept override;

  private:
    ~CalcAccessible();
    // The child id a VARIANT names: CHILDID_SELF or 1..kChildCount; -1 for anything else.
    static long child_of(const VARIANT& v) noexcept;
    // S_OK with the child id in c while the window is there and the id names a child; else
    // CO_E_OBJNOTCONNECTED or E_INVALIDARG, the answer every method gives then.
    HRESULT reach(const VARIANT& child, long& c) const noexcept;
    // The rectangle of a child in client pixels; false for a child that is not shown.
    bool child_rect(long child, RECT& r) const noexcept;

    RefCount refs_;
    AccessibleWindow* window_;
};

}  // namespace z5calc
