#pragma once

#include <windows.h>

#include <utility>

namespace z5calc {

// Owns one GDI object (region, bitmap, font, brush); copies are deleted.
template <class Handle>
class UniqueGdi {
  public:
    UniqueGdi() = default;
    explicit UniqueGdi(Handle handle) : handle_(handle) {}
    UniqueGdi(UniqueGdi&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueGdi& operator=(UniqueGdi&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;
    ~UniqueGdi() { reset(); }

    void reset(Handle handle = nullptr) noexcept {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
    Handle get() const noexcept { return handle_; }
    // Gives the object away, for a call that takes ownership (SetWindowRgn).
    Handle release() noexcept { return std::exchange(handle_, nullptr); }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

  private:
    Handle handle_ = nullptr;
};

using UniqueHrgn = UniqueGdi<HRGN>;
using UniqueHbitmap = UniqueGdi<HBITMAP>;
using UniqueHfont = UniqueGdi<HFONT>;
using UniqueHbrush = UniqueGdi<HBRUSH>;

// A memory device context, deleted at the end.
class UniqueMemoryDc {
  public:
    explicit UniqueMemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    UniqueMemoryDc(const UniqueMemoryDc&) = delete;
    UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
    ~UniqueMemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// Selects an object into a device context for one scope and puts the previous one back.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Owns one window; destroys it at the end.
class UniqueHwnd {
  public:
    UniqueHwnd() = default;
    explicit UniqueHwnd(HWND hwnd) : hwnd_(hwnd) {}
    UniqueHwnd(UniqueHwnd&& other) noexcept : hwnd_(std::exchange(other.hwnd_, nullptr)) {}
    UniqueHwnd& operator=(UniqueHwnd&& other) noexcept {
        reset(std::exchange(other.hwnd_, nullptr));
        return *this;
    }
    UniqueHwnd(const UniqueHwnd&) = delete;
    UniqueHwnd& operator=(const UniqueHwnd&) = delete;
    ~UniqueHwnd() { reset(); }

    void reset(HWND hwnd = nullptr) noexcept {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
        hwnd_ = hwnd;
    }
    HWND get() const noexcept { return hwnd_; }
    explicit operator bool() const noexcept { return hwnd_ != nullptr; }

  private:
    HWND hwnd_ = nullptr;
};

}  // namespace z5calc
