#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

namespace z5calc {

// The bytes of a resource of `module`, read in place (they live as long as the module); empty
// when there is none. With a language, that language's resource is taken first.
std::span<const std::byte> resource_data(HMODULE module, const wchar_t* name, const wchar_t* type,
                                         WORD language = LANG_NEUTRAL) noexcept;

}  // namespace z5calc
