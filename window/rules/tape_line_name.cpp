#include "tape_line_name.h"

#include "key_table.h"
#include "readout_text.h"
#include "tax_rate_text.h"

namespace z5calc {
namespace {

// The key each mark records, in TapeMark order from Plus to MemClear; Start and the rate
// switch, which is no key of the face, are named apart.
constexpr KeyId kMarkKeys[] = {
    KeyId::Plus,  KeyId::Minus,  KeyId::Times,     KeyId::Divide, KeyId::Equals, KeyId::Percent,
    KeyId::TaxIn, KeyId::TaxOut, KeyId::TaxAmount, KeyId::MR,     KeyId::AC,     KeyId::CE,
    KeyId::Trans, KeyId::Bs,     KeyId::MPlus,     KeyId::MMinus, KeyId::MC,
};
static_assert(std::size(kMarkKeys) == kTapeMarkCount - 2);

}  // namespace

std::wstring tape_line_name(const TapeLine& line) {
    std::wstring name;
    if (line.mark == TapeMark::Start) {
        name = L"\u958B\u59CB";  // 開始
    } else if (line.mark == TapeMark::RateSwitch) {
        name = kRateSwitchName;
    } else {
        name = key_name(kMarkKeys[static_cast<std::size_t>(line.mark) - 1]);
    }
    if (names_rate(line.mark)) name += L" " + percent_text(line.rate);
    const std::string_view number = line.number.view();
    if (number.empty()) return name;
    if (shows_error(number)) return name + L"\u3001\u30A8\u30E9\u30FC";
    return name + L"\u3001" + std::wstring(number.begin(), number.end());
}

}  // namespace z5calc
