#include "version_text.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace z5calc {
namespace {

// A version resource's head as the resource compiler writes it.
std::vector<unsigned char> version_resource(std::uint32_t ms, std::uint32_t ls,
                                            std::uint32_t signature = 0xFEEF04BD) {
    std::vector<unsigned char> bytes;
    auto word = [&](std::uint16_t w) {
        bytes.push_back(static_cast<unsigned char>(w));
        bytes.push_back(static_cast<unsigned char>(w >> 8));
    };
    auto dword = [&](std::uint32_t d) {
        word(static_cast<std::uint16_t>(d));
        word(static_cast<std::uint16_t>(d >> 16));
    };
    word(0);   // total length, not looked at
    word(52);  // length of the fixed information
    word(0);   // binary
    for (char16_t c : std::u16string_view(u"VS_VERSION_INFO")) word(c);
    word(0);
    word(0);  // padding to 32 bits
    dword(signature);
    dword(0x00010000);
    dword(ms);
    dword(ls);
    for (int i = 0; i < 9; ++i) dword(0);
    return bytes;
}

TEST(VersionMessage, FromTheFixedFileVersion) {
    struct Case {
        std::uint32_t ms, ls;
        const wchar_t* text;
    };
    for (Case c : {Case{0x00050000, 0x000000E2, L"Ver.5.0.226"},
                   Case{0x000A0014, 0x00030000, L"Ver.10.20.0"},
                   Case{0xFFFFFFFF, 0xFFFFFFFF, L"Ver.65535.65535.65535"}}) {
        auto bytes = version_resource(c.ms, c.ls);
        auto version = fixed_file_version(bytes.data(), bytes.size());
        ASSERT_TRUE(version);
        EXPECT_EQ(version_message(*version), c.text);
    }
}

TEST(VersionMessage, RefusesWhatIsNoVersionResource) {
    auto good = version_resource(0x00050000, 0xE2);
    auto bad_signature = version_resource(0x00050000, 0xE2, 0xFEEF04BC);
    auto bad_key = good;
    bad_key[8] = 'X';
    auto short_fixed = good;
    short_fixed[2] = 40;
    EXPECT_FALSE(fixed_file_version(bad_signature.data(), bad_signature.size()));
    EXPECT_FALSE(fixed_file_version(bad_key.data(), bad_key.size()));
    EXPECT_FALSE(fixed_file_version(short_fixed.data(), short_fixed.size()));
    EXPECT_FALSE(fixed_file_version(good.data(), good.size() - 1));
    EXPECT_FALSE(fixed_file_version(nullptr, 100));
    EXPECT_TRUE(fixed_file_version(good.data(), good.size()));
}

}  // namespace
}  // namespace z5calc
