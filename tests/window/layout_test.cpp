#include "layout.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace z5calc {
namespace {

TEST(FontSizes, FollowTheTwipsPerPixel) {
    struct Case {
        std::int32_t twips;
        int readout;
        double mark;
    };
    for (Case c : {Case{15, 18, 10.5}, Case{12, 15, 8.4}, Case{8, 10, 5.6}, Case{16, 20, 11.2},
                   Case{13, 16, 9.1}}) {
        EXPECT_EQ(readout_font_points(c.twips), c.readout) << c.twips;
        EXPECT_DOUBLE_EQ(mem_font_points(c.twips), c.mark) << c.twips;
    }
}

TEST(FontSizes, RequestTheCharacterHeightInPixels) {
    struct Case {
        double points;
        int dpi, height;
    };
    for (Case c : {Case{18, 96, -24}, Case{15, 120, -25}, Case{10.5, 96, -14}, Case{8.4, 120, -14},
                   Case{9, 96, -12}}) {
        EXPECT_EQ(font_height_request(c.points, c.dpi), c.height) << c.points << " " << c.dpi;
    }
}

TEST(KeepOnScreen, PullsTheWindowInsideAndShrinksOnlyANormalOne) {
    const TwipsBox screen = {0, 0, 19200, 14400};
    struct Case {
        TwipsBox window;
        bool normal;
        TwipsBox expected;
    };
    const Case cases[] = {
        {{-300, -15, 3150, 4095}, true, {0, 0, 3150, 4095}},             // off the top-left corner
        {{18000, 12000, 3150, 4095}, true, {16050, 10305, 3150, 4095}},  // off the bottom-right
        {{100, 200, 3150, 4095}, true, {100, 200, 3150, 4095}},          // already inside
        {{500, 500, 30000, 20000}, true, {16, 20, 19168, 14360}},  // larger: shrunk to margins
        {{500, 500, 30000, 20000}, false, {-10800, -5600, 30000, 20000}},  // not normal: moved only
    };
    for (const Case& c : cases) {
        TwipsBox w = c.window;
        keep_on_screen(w, screen, c.normal, 16, 20);
        EXPECT_EQ(w.left, c.expected.left) << c.window.left;
        EXPECT_EQ(w.top, c.expected.top) << c.window.left;
        EXPECT_EQ(w.width, c.expected.width) << c.window.left;
        EXPECT_EQ(w.height, c.expected.height) << c.window.left;
    }
    // A second monitor to the right: the window stays on it, not on the first.
    TwipsBox w = {20000, 100, 3150, 4095};
    keep_on_screen(w, {19200, 0, 19200, 14400}, true, 16, 20);
    EXPECT_EQ(w.left, 20000);
    TwipsBox beyond = {40000, 100, 3150, 4095};
    keep_on_screen(beyond, {19200, 0, 19200, 14400}, true, 16, 20);
    EXPECT_EQ(beyond.left, 19200 + 19200 - 3150);
}

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
