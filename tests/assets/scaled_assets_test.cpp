// Checks the art drawn at the other display scales: each scale's region data is well formed,
// bounded by the scaled client area and shaped like the 96-DPI outline, and each picture is an
// 8-bit palette PNG of the size the window cuts from it.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "asset_files.h"

#include "dpi_scale.h"

namespace {

using asset_files::kAssets;
using asset_files::le32;
using asset_files::read_file;

std::uint32_t be32(const std::vector<unsigned char>& b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) |
           b[at + 3];
}

struct Span {
    int left, right;
};

// The spans of row y of a region: rectangles are sorted bands.
std::vector<Span> row_of(const std::vector<unsigned char>& data, int y) {
    std::vector<Span> spans;
    for (std::size_t at = 32; at + 16 <= data.size(); at += 16) {
        if (le32(data, at + 4) <= y && y < le32(data, at + 12)) {
            spans.push_back({le32(data, at), le32(data, at + 8)});
        }
    }
    return spans;
}

int scale_dpi(int percent) {
    return percent * z5calc::kBaseDpi / 100;
}

class ScaledAssets : public ::testing::TestWithParam<int> {};

TEST_P(ScaledAssets, RegionIsTheScaledOutline) {
    const int percent = GetParam(), dpi = scale_dpi(percent);
    auto s = [&](int v) { return z5calc::scaled(v, dpi); };
    const std::vector<unsigned char> data =
        read_file(kAssets + "/scaled/frm@" + std::to_string(percent) + ".rgn");
    ASSERT_GE(data.size(), 32u);
    const std::int32_t count = le32(data, 8);
    EXPECT_EQ(le32(data, 0), 32);
    EXPECT_EQ(le32(data, 4), 1);
    EXPECT_EQ(data.size(), 32u + 16u * static_cast<std::size_t>(count));
    EXPECT_EQ(le32(data, 24), s(210));
    EXPECT_EQ(le32(data, 28), s(273));
    for (std::size_t at = 32; at + 16 <= data.size(); at += 16) {
        EXPECT_GE(le32(data, at), 0);
        EXPECT_LE(le32(data, at + 8), s(210));
        EXPECT_LT(le32(data, at + 4), le32(data, at + 12));
        if (at > 32) {
            EXPECT_GE(le32(data, at + 4), le32(data, at - 16 + 4)) << "out of order";
        }
    }
    // Full-width rows in the middle, narrowing toward the corners, the OFF key's notch on top.
    EXPECT_EQ(row_of(data, s(100)).size(), 1u);
    EXPECT_EQ(row_of(data, s(100))[0].left, 0);
    EXPECT_EQ(row_of(data, s(100))[0].right, s(210));
    const std::vector<Span> top = row_of(data, 0);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_NEAR(top[0].left, s(40), 2);
    EXPECT_NEAR(top[0].right, s(144), 1);
    EXPECT_NEAR(top[1].left, s(145), 1);
    const std::vector<Span> bottom = row_of(data, s(273) - 1);
    ASSERT_EQ(bottom.size(), 1u);
    EXPECT_NEAR(bottom[0].left, s(40), 2);
    // The corner curve is smooth: no row's left edge moves further than the 96-DPI curve's
    // steepest step, 7 pixels (a stretched outline steps by 7 times the scale at once).
    int previous = row_of(data, 1)[0].left;
    for (int y = 2; y < s(40); ++y) {
        const int left = row_of(data, y)[0].left;
        EXPECT_LE(previous - left, 7) << "row " << y;
        previous = left;
    }
}

TEST_P(ScaledAssets, PicturesArePalettePngsOfTheirSizes) {
    const int percent = GetParam(), dpi = scale_dpi(percent);
    const z5calc::KeyRect trans = z5calc::scaled(z5calc::key_spec(z5calc::KeyId::Trans).rect, dpi);
    struct Case {
        std::string name;
        int width, height;
    };
    for (const Case& c : {Case{"skin", z5calc::scaled(210, dpi), z5calc::scaled(273, dpi)},
                          Case{"pressed", z5calc::scaled(210, dpi), z5calc::scaled(273, dpi)},
                          Case{"troff", trans.width, trans.height}}) {
        SCOPED_TRACE(c.name);
        const std::vector<unsigned char> png =
            read_file(kAssets + "/scaled/" + c.name + "@" + std::to_string(percent) + ".png");
        ASSERT_GE(png.size(), 33u);
        EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(be32(png, 16), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(be32(png, 20), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(png[24], 8);  // bits per index
        EXPECT_EQ(png[25], 3);  // a palette
    }
}

TEST_P(ScaledAssets, ResourceScriptNamesThem) {
    const int percent = GetParam();
    const std::vector<unsigned char> bytes = read_file(kAssets + "/assets.rc");
    const std::string rc(bytes.begin(), bytes.end());
    const std::string p = std::to_string(percent);
    for (const std::string& line : {"SKIN" + p + " PNG \"scaled/skin@" + p + ".png\"",
                                    "PRESSED" + p + " PNG \"scaled/pressed@" + p + ".png\"",
                                    "TROFF" + p + " PNG \"scaled/troff@" + p + ".png\"",
                                    "FRM" + p + " RGN \"scaled/frm@" + p + ".rgn\""}) {
        EXPECT_NE(rc.find(line), std::string::npos) << line;
    }
}

// Every scale the window looks for beside the 96-DPI resources (100 %).
INSTANTIATE_TEST_SUITE_P(EveryDrawnScale, ScaledAssets,
                         ::testing::ValuesIn(z5calc::kArtPercents.begin() + 1,
                                             z5calc::kArtPercents.end()));

TEST(ScaledAssets, TheFolderHoldsNoScaleTheWindowDoesNotLookFor) {
    for (const auto& file : std::filesystem::directory_iterator(kAssets + "/scaled")) {
        const std::string name = file.path().filename().string();
        const int percent = std::stoi(name.substr(name.find('@') + 1));
        EXPECT_NE(std::find(z5calc::kArtPercents.begin() + 1, z5calc::kArtPercents.end(), percent),
                  z5calc::kArtPercents.end())
            << name;
    }
}

}  // namespace
