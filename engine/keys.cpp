#include "keys.h"

namespace z5calc {

namespace {

template <std::size_t N>
int index_of(const std::array<std::string_view, N>& tags, std::string_view tag) noexcept {
    for (std::size_t i = 0; i < N; ++i) {
        if (tags[i] == tag) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

std::optional<Key> key_from_tag(std::string_view tag) noexcept {
    auto make = [](KeyGroup group, int index) {
        return Key{group, static_cast<std::int8_t>(index)};
    };
    if (tag == ".") return make(KeyGroup::Decimal, 0);
    if (tag == "INV") return make(KeyGroup::Inv, 0);
    if (tag == "BS") return make(KeyGroup::Bs, 0);
    if (int i = index_of(kNumberTags, tag); i >= 0) return make(KeyGroup::Number, i);
    if (int i = index_of(kOperatorTags, tag); i >= 0) return make(KeyGroup::Operator, i);
    if (int i = index_of(kMemTags, tag); i >= 0) return make(KeyGroup::Mem, i);
    if (int i = index_of(kTaxTags, tag); i >= 0) return make(KeyGroup::Tax, i);
    return std::nullopt;
}

}  // namespace z5calc
