#pragma once

#include <windows.h>

#include "unique_handle.h"

namespace z5calc {

template <class Object>
void delete_gdi_object(Object object) noexcept {
    DeleteObject(object);
}

inline void destroy_window(HWND hwnd) noexcept {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
}

// GDI objects (region, bitmap, font) and windows, each owned by one holder.
template <class Object>
using UniqueGdi = UniqueHandle<Object, &delete_gdi_object<Object>>;
using UniqueHrgn = UniqueGdi<HRGN>;
using UniqueHbitmap = UniqueGdi<HBITMAP>;
using UniqueHfont = UniqueGdi<HFONT>;

// A window's device context, or the screen's for no window, released at the end.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd = nullptr) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HWND hwnd_;
    HDC dc_;
};

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

using UniqueHwnd = UniqueHandle<HWND, &destroy_window>;

inline void destroy_icon(HICON icon) noexcept {
    DestroyIcon(icon);
}
using UniqueHicon = UniqueHandle<HICON, &destroy_icon>;

}  // namespace z5calc
