#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace z5calc {

// The readout is also the entry buffer, so it lives inside the copyable calculator state.
// A fixed inline buffer keeps that state trivially copyable and every edit allocation-free.
// Nothing the engine writes is longer than 23 characters (the longest is an opening value in
// exponent form); longer input to assign() is cut at the capacity rather than overflowing.
class ReadoutText {
  public:
    static constexpr std::size_t kCapacity = 31;

    constexpr ReadoutText() noexcept = default;
    constexpr ReadoutText(std::string_view text) noexcept { assign(text); }

    constexpr void assign(std::string_view text) noexcept {
        size_ = static_cast<std::uint8_t>(text.size() < kCapacity ? text.size() : kCapacity);
        for (std::size_t i = 0; i < size_; ++i) chars_[i] = text[i];
        chars_[size_] = '\0';
    }
    constexpr void append(std::string_view text) noexcept {
        for (char c : text) push_back(c);
    }
    constexpr void push_back(char c) noexcept {
        if (size_ == kCapacity) return;
        chars_[size_++] = c;
        chars_[size_] = '\0';
    }
    constexpr void pop_back() noexcept {
        if (size_ == 0) return;
        chars_[--size_] = '\0';
    }
    constexpr void prepend(char c) noexcept {
        if (size_ == kCapacity) return;
        for (std::size_t i = size_ + 1; i > 0; --i) chars_[i] = chars_[i - 1];
        chars_[0] = c;
        ++size_;
    }

    constexpr std::string_view view() const noexcept { return {chars_.data(), size_}; }
    constexpr const char* c_str() const noexcept { return chars_.data(); }
    constexpr std::size_t size() const noexcept { return size_; }
    constexpr bool empty() const noexcept { return size_ == 0; }

    friend constexpr bool operator==(const ReadoutText& a, const ReadoutText& b) noexcept {
        return a.view() == b.view();
    }
    friend constexpr bool operator==(const ReadoutText& a, std::string_view b) noexcept {
        return a.view() == b;
    }

  private:
    std::array<char, kCapacity + 1> chars_{};
    std::uint8_t size_ = 0;
};

// Whether a readout shows "Error" or what was made of it (text appended during decimal entry).
constexpr bool shows_error(std::string_view readout) noexcept {
    return readout.find("Err") != std::string_view::npos;
}

}  // namespace z5calc
