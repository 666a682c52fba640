#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace z5calc {

// Owns one registry key.
class UniqueHkey {
  public:
    UniqueHkey() = default;
    explicit UniqueHkey(HKEY key) : key_(key) {}
    UniqueHkey(UniqueHkey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    UniqueHkey& operator=(UniqueHkey&& other) noexcept {
        reset(std::exchange(other.key_, nullptr));
        return *this;
    }
    UniqueHkey(const UniqueHkey&) = delete;
    UniqueHkey& operator=(const UniqueHkey&) = delete;
    ~UniqueHkey() { reset(); }

    void reset(HKEY key = nullptr) noexcept {
        if (key_) RegCloseKey(key_);
        key_ = key;
    }
    HKEY get() const noexcept { return key_; }
    HKEY* put() noexcept {
        reset();
        return &key_;
    }
    explicit operator bool() const noexcept { return key_ != nullptr; }

  private:
    HKEY key_ = nullptr;
};

// Owns one BSTR.
class UniqueBstr {
  public:
    UniqueBstr() = default;
    explicit UniqueBstr(std::wstring_view text)
        : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    UniqueBstr(UniqueBstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        reset(std::exchange(other.bstr_, nullptr));
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { reset(); }

    void reset(BSTR bstr = nullptr) noexcept {
        if (bstr_) SysFreeString(bstr_);
        bstr_ = bstr;
    }
    BSTR get() const noexcept { return bstr_; }
    BSTR release() noexcept { return std::exchange(bstr_, nullptr); }
    BSTR* put() noexcept {
        reset();
        return &bstr_;
    }
    std::wstring_view view() const noexcept {
        return {bstr_ ? bstr_ : L"", bstr_ ? SysStringLen(bstr_) : 0u};
    }

  private:
    BSTR bstr_ = nullptr;
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
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    explicit operator bool() const noexcept { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

}  // namespace z5calc
