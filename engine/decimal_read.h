#pragma once

#include <string_view>

namespace z5calc {

// A decimal text read as the double nearest it, ties to even, as std::from_chars reads it in
// its general format: an optional '-', digits with at most one '.', an optional exponent ('e' or
// 'E', an optional sign, digits). The whole text must be that.
struct DecimalRead {
    enum class Status { Ok, Invalid, OutOfRange } status = Status::Invalid;
    double value = 0;
};
// OutOfRange where the value rounds to infinity, or a value that is not zero to zero.
DecimalRead read_decimal(std::string_view text) noexcept;

}  // namespace z5calc
