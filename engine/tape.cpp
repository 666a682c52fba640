#include "tape.h"

#include <cmath>

namespace z5calc {

void Tape::record(TapeMark mark, const ReadoutText& number, double rate) noexcept {
    TapeLine& line = lines_[(first_ + size_) % kCapacity];
    line = {mark, number, rate};
    if (size_ < kCapacity) {
        ++size_;
    } else {
        first_ = (first_ + 1) % kCapacity;
    }
    ++recorded_;
}

std::string percent_digits(double rate) {
    // Whole numbers only: no printf, whose floating-point formatting is large in a static DLL.
    if (!std::isfinite(rate) || rate < 0 || rate > 10) return "?%";
    const long long tenths = std::llround(rate * 1000);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text + "%";
}

}  // namespace z5calc
