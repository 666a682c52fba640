#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace z5calc {

// The key table: each control array of the calculator and its tags, in index order.
inline constexpr std::array<std::string_view, 12> kNumberTags = {"0", "1", "2", "3", "4",  "5",
                                                                 "6", "7", "8", "9", "00", "000"};
inline constexpr std::array<std::string_view, 8> kOperatorTags = {"AC", "CE", "-", "/",
                                                                  "+",  "X",  "=", "%"};
inline constexpr std::array<std::string_view, 4> kMemTags = {"MC", "MP", "MM", "MR"};
inline constexpr std::array<std::string_view, 3> kTaxTags = {"taxin", "taxout", "tax"};

inline constexpr int kOperatorAC = 0;
inline constexpr int kOperatorCE = 1;
inline constexpr int kOperatorEquals = 6;
inline constexpr int kMemClear = 0;   // MC
inline constexpr int kMemPlus = 1;    // M+
inline constexpr int kMemMinus = 2;   // M-
inline constexpr int kMemRecall = 3;  // MR
inline constexpr int kTaxIn = 0;      // 税込: the price with tax
inline constexpr int kTaxOut = 1;     // 税別: the price without tax
inline constexpr int kTaxAmount = 2;  // 税: the tax alone

enum class KeyGroup : std::uint8_t { Number, Decimal, Inv, Bs, Operator, Mem, Tax };

// One key of the calculator: its control array and the index within it (0 for single keys).
struct Key {
    KeyGroup group;
    std::int8_t index;
    friend constexpr bool operator==(Key, Key) = default;
};

// The keys that type a number (digits, 00, 000, the point, ±, ←) rather than work on one.
constexpr bool types_number(Key key) noexcept {
    return key.group == KeyGroup::Number || key.group == KeyGroup::Decimal ||
           key.group == KeyGroup::Inv || key.group == KeyGroup::Bs;
}

// The tag of a key; the decimal point, which has no tag of its own, goes by ".".
constexpr std::string_view tag_of(Key key) noexcept {
    const auto at = static_cast<std::size_t>(key.index);
    switch (key.group) {
        case KeyGroup::Number:
            return at < kNumberTags.size() ? kNumberTags[at] : std::string_view{};
        case KeyGroup::Decimal:
            return ".";
        case KeyGroup::Inv:
            return "INV";
        case KeyGroup::Bs:
            return "BS";
        case KeyGroup::Operator:
            return at < kOperatorTags.size() ? kOperatorTags[at] : std::string_view{};
        case KeyGroup::Mem:
            return at < kMemTags.size() ? kMemTags[at] : std::string_view{};
        case KeyGroup::Tax:
            return at < kTaxTags.size() ? kTaxTags[at] : std::string_view{};
    }
    return {};
}

// Finds a key by its tag; the decimal point, which has no tag of its own, goes by ".".
std::optional<Key> key_from_tag(std::string_view tag) noexcept;

}  // namespace z5calc
