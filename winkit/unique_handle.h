#pragma once

#include <utility>

namespace z5calc {

// Owns one handle and gives it back with Close at the end; copies are deleted. The handle
// types of the component (windows, GDI objects, registry keys, BSTRs) are all this one shape.
template <class Handle, void (*Close)(Handle) noexcept>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(std::exchange(other.handle_, Handle{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    void reset(Handle handle = Handle{}) noexcept {
        if (handle_) Close(handle_);
        handle_ = handle;
    }
    Handle get() const noexcept { return handle_; }
    // Gives the handle away, for a call that takes ownership (SetWindowRgn).
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }
    // For a call that returns a new handle through a pointer.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }

  private:
    Handle handle_{};
};

}  // namespace z5calc
