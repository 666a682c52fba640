#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "readout_text.h"

namespace z5calc {

// What a line of the tape records: the key as drawn on the face, or the start of a call.
enum class TapeMark : std::uint8_t {
    Start,
    Plus,
    Minus,
    Times,
    Divide,
    Equals,
    Percent,
    TaxIn,
    TaxOut,
    TaxAmount,
    MemRecall,
    AllClear,
    ClearEntry,
    Transfer,
    Backspace,  // a result or a tax key's number shortened
    MemPlus,
    MemMinus,
    MemClear,         // with the memory it cleared
    RateSwitch,       // with the rate switched to, and no number
    GrandTotal,       // the grand total recalled
    GrandTotalClear,  // with the grand total it cleared
};
inline constexpr std::size_t kTapeMarkCount =
    static_cast<std::size_t>(TapeMark::GrandTotalClear) + 1;

// Whether the line's key names a rate beside it: the tax keys and the rate switch.
constexpr bool names_rate(TapeMark mark) noexcept {
    return mark == TapeMark::TaxIn || mark == TapeMark::TaxOut || mark == TapeMark::TaxAmount ||
           mark == TapeMark::RateSwitch;
}

struct TapeLine {
    TapeMark mark = TapeMark::Start;
    ReadoutText number;      // as the readout showed it
    double rate = 0;         // the rate a tax key used or the switch chose
    bool corrected = false;  // its number was corrected after it was written (訂正)
};

// The calculation's steps, for checking every entry afterwards (検算): the newest kCapacity
// lines, oldest first. A ring of fixed lines: recording never allocates and costs a copy.
class Tape {
  public:
    static constexpr std::size_t kCapacity = 300;

    void record(TapeMark mark, const ReadoutText& number, double rate = 0) noexcept;
    // Takes back the lines recorded since recorded() was `count`, as far as they are kept.
    void take_back(std::uint64_t count) noexcept {
        if (count >= recorded_) return;
        const std::uint64_t back = recorded_ - count;
        size_ -= back < size_ ? static_cast<std::size_t>(back) : size_;
        recorded_ = count;
    }
    // Line i's number counted from the tape's making: it stays with the line as older ones drop.
    std::uint64_t number_of(std::size_t i) const noexcept { return recorded_ - size_ + i; }
    // Line `n` counted from the tape's making, if it is still kept.
    TapeLine* line_numbered(std::uint64_t n) noexcept {
        const std::uint64_t oldest = recorded_ - size_;
        if (n < oldest || n >= recorded_) return nullptr;
        return &lines_[(first_ + static_cast<std::size_t>(n - oldest)) % kCapacity];
    }
    const TapeLine* line_numbered(std::uint64_t n) const noexcept {
        return const_cast<Tape*>(this)->line_numbered(n);
    }
    void clear() noexcept {
        first_ = size_ = 0;
        ++cleared_;
    }
    std::size_t size() const noexcept { return size_; }
    // Whether the newest line holds this number.
    bool ends_with(const ReadoutText& number) const noexcept {
        return size_ != 0 && (*this)[size_ - 1].number == number;
    }
    bool empty() const noexcept { return size_ == 0; }
    // Line i, 0 the oldest kept.
    const TapeLine& operator[](std::size_t i) const noexcept {
        return lines_[(first_ + i) % kCapacity];
    }
    // Lines recorded and clears made since the tape was made: a view compares them with what
    // it last showed.
    std::uint64_t recorded() const noexcept { return recorded_; }
    std::uint64_t cleared() const noexcept { return cleared_; }

  private:
    std::array<TapeLine, kCapacity> lines_{};
    std::size_t first_ = 0, size_ = 0;
    std::uint64_t recorded_ = 0, cleared_ = 0;
};

// A rate (a fraction) as people write it, to a tenth of a percent: 0.1 gives "10%", 0.075
// "7.5%"; a rate no settings file can give (negative, not finite, beyond 1000 %) gives "?%".
std::string percent_digits(double rate);

}  // namespace z5calc
