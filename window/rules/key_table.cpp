#include "key_table.h"

namespace z5calc {
namespace {

std::wstring vk_text(std::uint16_t vk) {
    if (vk == kVkDelete) return L"Delete";
    if (vk == kVkF9) return L"F9";
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::wstring(1, vk);
    return L"?";
}

}  // namespace

std::wstring shortcut_text(KeyId id) {
    const KeyRow& k = key_spec(id);
    if (!k.chars.empty()) {
        switch (k.chars.front()) {
            case L'\b':
                return L"Backspace";
            case L'\x1b':
                return L"Esc";
            case L'\r':
                return L"Enter";
            default:
                return std::wstring(1, k.chars.front());
        }
    }
    if (k.chord.vk == 0) return {};
    return (k.chord.ctrl ? L"Ctrl+" : L"") + vk_text(k.chord.vk);
}

}  // namespace z5calc
