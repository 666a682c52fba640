#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

#include "unique_handle.h"

namespace z5calc {

inline void close_key(HKEY key) noexcept {
    RegCloseKey(key);
}
inline void free_bstr(BSTR bstr) noexcept {
    SysFreeString(bstr);
}

inline void destroy_menu(HMENU menu) noexcept {
    DestroyMenu(menu);
}

inline void close_file(HANDLE file) noexcept {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

// Owns one registry key.
using UniqueHkey = UniqueHandle<HKEY, &close_key>;
// Owns one menu.
using UniqueHmenu = UniqueHandle<HMENU, &destroy_menu>;
// Owns an open file; CreateFile's failure value (INVALID_HANDLE_VALUE) is held but not closed.
using UniqueFile = UniqueHandle<HANDLE, &close_file>;

// Owns one BSTR.
class UniqueBstr : public UniqueHandle<BSTR, &free_bstr> {
  public:
    UniqueBstr() = default;
    // A copy of the text; the BSTR made for it is owned. To adopt a BSTR, use put() or reset().
    explicit UniqueBstr(std::wstring_view text)
        : UniqueHandle(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    std::wstring_view view() const noexcept {
        return {get() ? get() : L"", get() ? SysStringLen(get()) : 0u};
    }
};

// Owns one VARIANT, cleared on destruction.
class UniqueVariant {
  public:
    UniqueVariant() noexcept { VariantInit(&v_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&v_); }
    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* operator->() noexcept { return &v_; }
    // Hands the value over to the caller, who then owns what it holds.
    VARIANT release() noexcept {
        const VARIANT out = v_;
        VariantInit(&v_);
        return out;
    }

  private:
    VARIANT v_;
};

// Holds one reference to a COM object.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset(T* p = nullptr) noexcept {
        if (p_) p_->Release();
        p_ = p;
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const noexcept { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

}  // namespace z5calc
