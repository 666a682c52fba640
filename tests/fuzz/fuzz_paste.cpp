// Pasted text (UTF-16 from the input's byte pairs): one number or a refusal; a number the
// readout can show, shown and pasted again, or copied and pasted again, is the number shown.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "clipboard_text.h"
#include "fuzz_oracles.h"
#include "number_text.h"

using namespace z5calc;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::utf16(data, size);
    const auto value = pasted_number(text);
    if (text.size() > kPasteLimit) require(!value, "a text beyond the limit is refused");
    if (!value) return 0;
    require(std::isfinite(*value), "a pasted number is finite");
    if (!in_display_range(*value)) return 0;
    const ReadoutText shown = display_text(*value);
    const auto number = read_number(shown.view());
    require(pasted_number(fuzz::widen(shown.view())) == number, "a shown number pastes as itself",
            shown.view());
    const auto copied = copied_text(shown.view());
    require(copied.has_value(), "a shown number copies", shown.view());
    require(pasted_number(fuzz::widen(*copied)) == number, "a copied number pastes as itself",
            *copied);
    return 0;
}
