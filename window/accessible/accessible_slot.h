#pragma once

#include <windows.h>

#include <new>
#include <utility>

namespace z5calc {

// The one accessible object of a window's client area: made when a screen reader first asks,
// handed out for WM_GETOBJECT however often it asks, disconnected when the window goes. Object
// is an AccessibleBase made from `Target&` with a disconnect() that lets go of it.
template <class Object, class Target>
class AccessibleSlot {
  public:
    explicit AccessibleSlot(Target& target) noexcept : target_(target) {}
    ~AccessibleSlot() { disconnect(); }
    AccessibleSlot(const AccessibleSlot&) = delete;
    AccessibleSlot& operator=(const AccessibleSlot&) = delete;

    // The object, made now if need be; null without memory.
    Object* get() noexcept {
        if (!object_) object_ = new (std::nothrow) Object(target_);
        return object_;
    }
    bool made() const noexcept { return object_ != nullptr; }

    // WM_GETOBJECT's answer for the client area; false (the system answers) for any other
    // object or without memory. lParam carries a 32-bit object id, sign-extended or not.
    bool answer(WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
        if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT || !get()) return false;
        result = object_->result_for(wParam);
        return true;
    }

    // The window goes: from now on the object reaches nothing, and what clients hold of it in
    // other apartments is let go.
    void disconnect() noexcept {
        if (Object* object = std::exchange(object_, nullptr)) {
            object->disconnect();
            object->Release();
        }
    }

  private:
    Target& target_;
    Object* object_ = nullptr;
};

}  // namespace z5calc
