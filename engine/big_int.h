#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace z5calc {

// A whole number of at most Limbs 32-bit words, for the exact conversions between doubles and
// decimal text. Nothing allocates; callers keep their values within the words they chose.
template <int Limbs>
class BigInt {
  public:
    explicit BigInt(std::uint64_t v) noexcept {
        limbs_[0] = static_cast<std::uint32_t>(v);
        limbs_[1] = static_cast<std::uint32_t>(v >> 32);
        size_ = limbs_[1] ? 2 : 1;
    }

    // this * factor + add.
    void multiply(std::uint32_t factor, std::uint32_t add = 0) noexcept {
        std::uint64_t carry = add;
        for (int i = 0; i < size_; ++i) {
            carry += static_cast<std::uint64_t>(limbs_[i]) * factor;
            limbs_[i] = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
        if (carry) limbs_[size_++] = static_cast<std::uint32_t>(carry);
    }

    void multiply_pow5(int k) noexcept {
        for (; k >= 13; k -= 13) multiply(1'220'703'125);  // 5^13, the largest under 2^32
        multiply(kSmallPow5[k]);
    }

    // Returns whether anything nonzero was divided away.
    bool divide_pow5(int k) noexcept {
        bool inexact = false;
        for (; k >= 13; k -= 13) inexact |= divide(1'220'703'125) != 0;
        return divide(kSmallPow5[k]) != 0 || inexact;
    }

    void shift_left(int bits) noexcept {
        const int words = bits / 32;
        const int rest = bits % 32;
        limbs_[size_] = 0;
        for (int i = size_; i >= 0; --i) {
            std::uint32_t high = limbs_[i] << rest;
            if (rest && i > 0) high |= limbs_[i - 1] >> (32 - rest);
            limbs_[i + words] = high;
        }
        for (int i = 0; i < words; ++i) limbs_[i] = 0;
        size_ += words + 1;
        trim();
    }

    // Returns whether any 1 bit was shifted out.
    bool shift_right(int bits) noexcept {
        const int words = bits / 32;
        const int rest = bits % 32;
        if (words >= size_) {
            const bool inexact = !is_zero();
            limbs_[0] = 0;
            size_ = 1;
            return inexact;
        }
        bool inexact = rest && (limbs_[words] << (32 - rest)) != 0;
        for (int i = 0; i < words; ++i) inexact |= limbs_[i] != 0;
        for (int i = words; i < size_; ++i) {
            std::uint32_t low = limbs_[i] >> rest;
            if (rest && i + 1 < size_) low |= limbs_[i + 1] << (32 - rest);
            limbs_[i - words] = low;
        }
        size_ -= words;
        trim();
        return inexact;
    }

    // Divides in place and returns the remainder.
    std::uint32_t divide(std::uint32_t divisor) noexcept {
        std::uint64_t rest = 0;
        for (int i = size_ - 1; i >= 0; --i) {
            rest = (rest << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(rest / divisor);
            rest %= divisor;
        }
        trim();
        return static_cast<std::uint32_t>(rest);
    }

    bool is_zero() const noexcept { return size_ == 1 && limbs_[0] == 0; }
    int bits() const noexcept { return (size_ - 1) * 32 + std::bit_width(limbs_[size_ - 1]); }
    bool at_least(const BigInt& o) const noexcept {
        if (size_ != o.size_) return size_ > o.size_;
        for (int i = size_ - 1; i >= 0; --i) {
            if (limbs_[i] != o.limbs_[i]) return limbs_[i] > o.limbs_[i];
        }
        return true;
    }
    // Precondition: at_least(o).
    void subtract(const BigInt& o) noexcept {
        std::int64_t borrow = 0;
        for (int i = 0; i < size_; ++i) {
            borrow += static_cast<std::int64_t>(limbs_[i]) - (i < o.size_ ? o.limbs_[i] : 0);
            limbs_[i] = static_cast<std::uint32_t>(borrow);
            borrow >>= 32;
        }
        trim();
    }
    // The top 64 bits, and whether any bit below them is set.
    std::uint64_t top64(bool& sticky) const noexcept {
        const int b = bits(), low = b > 64 ? b - 64 : 0;
        std::uint64_t q = 0;
        sticky = false;
        for (int i = b - 1; i >= 0; --i) {
            const bool bit = (limbs_[i / 32] >> (i % 32)) & 1;
            if (i >= low) {
                q = q << 1 | bit;
            } else if (bit) {
                sticky = true;
                break;
            }
        }
        return q;
    }

    // Precondition: the value fits in 64 bits.
    std::uint64_t low64() const noexcept {
        return size_ > 1 ? (static_cast<std::uint64_t>(limbs_[1]) << 32) | limbs_[0] : limbs_[0];
    }

  private:
    static constexpr std::uint32_t kSmallPow5[13] = {
        1, 5, 25, 125, 625, 3125, 15625, 78125, 390625, 1953125, 9765625, 48828125, 244140625};

    void trim() noexcept {
        while (size_ > 1 && limbs_[size_ - 1] == 0) --size_;
    }

    std::array<std::uint32_t, Limbs> limbs_{};
    int size_ = 1;
};

}  // namespace z5calc
