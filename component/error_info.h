#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace z5calc {

// The automation error for a numeric overflow, as VB hosts know it.
inline constexpr HRESULT kOverflowError = static_cast<HRESULT>(0x800A0006L);

// A failure inside a method that reaches the host with its description.
struct ComError {
    HRESULT hr;
    std::wstring description;
};

// Records the description as the thread's error info and returns hr.
HRESULT fail_with(HRESULT hr, std::wstring_view description) noexcept;

// Runs a method body: its HRESULT on success (clearing stale error info), and any exception
// turned into a failed HRESULT with error info. Nothing thrown leaves this function.
template <class Body>
HRESULT guarded_call(Body&& body) noexcept;

HRESULT current_exception_result() noexcept;

template <class Body>
HRESULT guarded_call(Body&& body) noexcept {
    try {
        HRESULT hr = body();
        if (SUCCEEDED(hr)) SetErrorInfo(0, nullptr);
        return hr;
    } catch (...) {
        return current_exception_result();
    }
}

}  // namespace z5calc
