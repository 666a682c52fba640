#pragma once

#include <windows.h>
#include <oleacc.h>

#include "accessible_base.h"
#include "accessible_window.h"

namespace z5calc {

// The annotation service's class and interface, stated rather than taken from a library as
// kAccessibleIid is, and the UI Automation live setting as an annotation property (older
// headers lack its name).
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
// readout, the memory mark and the tax rate switch.
class CalcAccessible final : public AccessibleBase {
  public:
    static constexpr long kReadoutChild = 33;
    static constexpr long kMemMarkChild = 34;
    static constexpr long kRateSwitchChild = 35;  // the tax rate switch (F8, the rate mark)
    static constexpr long kGrandTotalChild = 36;  // 「GT」
    static constexpr long kRoundingChild = 37;    // the rounding of results
    static constexpr long kChildCount = 37;

    explicit CalcAccessible(AccessibleWindow& window) noexcept : window_(&window) {}

    // The window goes: from now on nothing reaches it.
    void disconnect() noexcept {
        window_ = nullptr;
        disconnect_clients();
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child,
                                                      BSTR* shortcut) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override;

  private:
    ~CalcAccessible() override = default;
    HWND client_window() const noexcept override;
    long child_count() const noexcept override { return kChildCount; }
    bool child_rect(long child, RECT& r) const noexcept override;

    AccessibleWindow* window_;
};

}  // namespace z5calc
