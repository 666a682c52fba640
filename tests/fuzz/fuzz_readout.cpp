// The readout's formatter, on doubles of every magnitude and class taken bit for bit from the
// input: a number in range shows as a legal text that reads back and shows again the same;
// plain and general text never overflow and say "Error" only for what is not finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz_oracles.h"
#include "number_text.h"

using namespace z5calc;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (std::size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
        double x;
        std::memcpy(&x, data + at, sizeof x);
        const ReadoutText general = general_text(x);
        require(general.size() > 0 && general.size() < ReadoutText::kCapacity, "general text fits",
                general.view());
        require((general.view() == "Error") == !std::isfinite(x), "Error only for non-finite",
                general.view());
        if (!in_display_range(x)) continue;
        const ReadoutText shown = display_text(x);
        require(fuzz::legal_readout(shown.view()), "a shown number is a legal text", shown.view());
        const auto back = read_number(shown.view());
        require(back.has_value(), "a shown number reads back", shown.view());
        require(display_text(*back) == shown, "showing what was read gives the same text",
                shown.view());
        const ReadoutText plain = plain_text(x);
        require(read_number(plain.view()).has_value(), "plain text reads as a number",
                plain.view());
    }
    return 0;
}
