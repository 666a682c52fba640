#include "resource_data.h"

namespace z5calc {

std::span<const std::byte> resource_data(HMODULE module, const wchar_t* name, const wchar_t* type,
                                         WORD language) noexcept {
    HRSRC found = nullptr;
    if (language != LANG_NEUTRAL) found = FindResourceExW(module, type, name, language);
    if (!found) found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::byte*>(data), SizeofResource(module, found)};
}

}  // namespace z5calc
