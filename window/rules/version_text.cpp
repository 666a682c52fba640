#include "version_text.h"

#include <string_view>

#include "wide_decimal.h"

namespace z5calc {

std::optional<FileVersion> fixed_file_version(const void* data, std::size_t size) noexcept {
    // VS_VERSIONINFO: three 16-bit words, the key "VS_VERSION_INFO" in UTF-16 with its end,
    // padding to 32 bits, then the fixed file information (signature 0xFEEF04BD first).
    constexpr std::u16string_view key = u"VS_VERSION_INFO";
    constexpr std::size_t keyOffset = 6;
    constexpr std::size_t fixedOffset = (keyOffset + (key.size() + 1) * 2 + 3) & ~std::size_t{3};
    constexpr std::size_t fixedSize = 13 * 4;
    if (!data || size < fixedOffset + fixedSize) return std::nullopt;
    auto* bytes = static_cast<const unsigned char*>(data);
    auto word = [&](std::size_t at) {
        return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
    };
    auto dword = [&](std::size_t at) {
        return static_cast<std::uint32_t>(word(at)) | static_cast<std::uint32_t>(word(at + 2))
                                                          << 16;
    };
    if (word(2) < fixedSize) return std::nullopt;  // the length of the fixed information
    for (std::size_t i = 0; i <= key.size(); ++i) {
        char16_t expected = i < key.size() ? key[i] : u'\0';
        if (word(keyOffset + 2 * i) != expected) return std::nullopt;
    }
    if (dword(fixedOffset) != 0xFEEF04BDu) return std::nullopt;
    const std::uint32_t ms = dword(fixedOffset + 8);
    const std::uint32_t ls = dword(fixedOffset + 12);
    return FileVersion{static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms),
                       static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls)};
}

std::wstring version_message(const FileVersion& version) {
    return L"Ver." + wide_decimal(version.major) + L"." + wide_decimal(version.minor) + L"." +
           wide_decimal(version.revision);
}

}  // namespace z5calc
