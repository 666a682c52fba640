#include "tape.h"

#include <cmath>

namespace z5calc {

std::string percent_digits(double rate) {
    // Whole numbers only: no printf, whose floating-point formatting is large in a static DLL.
    if (!std::isfinite(rate) || rate < 0 || rate > 10) return "?%";
    const long long tenths = std::llround(rate * 1000);
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text + "%";
}

}  // namespace z5calc
