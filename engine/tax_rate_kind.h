#pragma once

#include <cstdint>

namespace z5calc {

// The two consumption-tax rates: the standard one and the reduced one. Hosts give and read the
// same numbers (0 and 1) as TaxRateKind.
enum class TaxRateKind : std::uint8_t { Standard = 0, Reduced = 1 };

}  // namespace z5calc
