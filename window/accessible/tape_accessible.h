#pragma once

#include "accessible_base.h"
#include "accessible_window.h"

namespace z5calc {

// The tape for screen readers: a read-only list whose items (child id 1 + line, oldest first)
// are named by their lines; the lines in view have places, the others are off screen.
class TapeAccessible final : public AccessibleBase {
  public:
    explicit TapeAccessible(const AccessibleTape& window) noexcept : window_(&window) {}
    // The window goes: from now on nothing reaches it.
    void disconnect() noexcept {
        window_ = nullptr;
        disconnect_clients();
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child,
                                                      BSTR* shortcut) noexcept override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override;

  private:
    ~TapeAccessible() override = default;
    HWND client_window() const noexcept override;
    long child_count() const noexcept override;
    bool child_rect(long child, RECT& r) const noexcept override;

    const AccessibleTape* window_;
};

}  // namespace z5calc
