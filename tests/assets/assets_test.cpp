// Checks the committed assets: sizes and formats, the region data's layout and its agreement
// with the skin, pixel by pixel.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "asset_files.h"

namespace {

using asset_files::kAssets;
using asset_files::le32;
using asset_files::read_file;

struct Bitmap {
    int width = 0;
    int height = 0;
    int bits = 0;
    int compression = -1;
    std::vector<unsigned char> file;
    std::size_t pixels = 0;

    // RGB of pixel (x, y), y counted from the top.
    std::uint32_t rgb(int x, int y) const {
        std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
        std::size_t at = pixels + static_cast<std::size_t>(height - 1 - y) * stride +
                         static_cast<std::size_t>(x) * 3;
        return (file[at + 2] << 16) | (file[at + 1] << 8) | file[at];
    }
};

Bitmap read_bitmap(const std::string& path) {
    Bitmap bmp;
    bmp.file = read_file(path);
    if (bmp.file.size() < 54 || bmp.file[0] != 'B' || bmp.file[1] != 'M') return bmp;
    bmp.pixels = static_cast<std::size_t>(le32(bmp.file, 10));
    bmp.width = le32(bmp.file, 18);
    bmp.height = le32(bmp.file, 22);
    bmp.bits = bmp.file[28] | (bmp.file[29] << 8);
    bmp.compression = le32(bmp.file, 30);
    return bmp;
}

struct Rect {
    int left, top, right, bottom;
};

std::vector<Rect> read_region(const std::vector<unsigned char>& data) {
    std::vector<Rect> rects;
    for (std::size_t at = 32; at + 16 <= data.size(); at += 16) {
        rects.push_back(
            {le32(data, at), le32(data, at + 4), le32(data, at + 8), le32(data, at + 12)});
    }
    return rects;
}

bool inside(const std::vector<Rect>& rects, int x, int y) {
    for (const Rect& r : rects) {
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    }
    return false;
}

TEST(Assets, RegionHeaderAndBands) {
    std::vector<unsigned char> data = read_file(kAssets + "/frm.rgn");
    ASSERT_GE(data.size(), 32u);
    const std::int32_t count = le32(data, 8);
    EXPECT_EQ(le32(data, 0), 32);
    EXPECT_EQ(le32(data, 4), 1);
    EXPECT_EQ(le32(data, 12), count * 16);
    EXPECT_EQ(data.size(), 32u + 16u * static_cast<std::size_t>(count));
    EXPECT_EQ(le32(data, 16), 0);
    EXPECT_EQ(le32(data, 20), 0);
    EXPECT_EQ(le32(data, 24), 210);
    EXPECT_EQ(le32(data, 28), 273);
    std::vector<Rect> rects = read_region(data);
    ASSERT_EQ(rects.size(), static_cast<std::size_t>(count));
    for (std::size_t i = 1; i < rects.size(); ++i) {
        const Rect& a = rects[i - 1];
        const Rect& b = rects[i];
        EXPECT_TRUE(a.top < b.top || (a.top == b.top && a.right <= b.left))
            << "rectangle " << i << " out of order";
        EXPECT_TRUE(b.top == a.top ? b.bottom == a.bottom : b.top >= a.bottom)
            << "bands overlap at " << i;
    }
}

TEST(Assets, RegionTellingRows) {
    std::vector<Rect> rects = read_region(read_file(kAssets + "/frm.rgn"));
    auto spans = [&](int y) {
        std::vector<std::pair<int, int>> s;
        for (const Rect& r : rects) {
            if (y >= r.top && y < r.bottom) s.emplace_back(r.left, r.right);
        }
        return s;
    };
    using Spans = std::vector<std::pair<int, int>>;
    EXPECT_EQ(spans(0), (Spans{{40, 144}, {145, 170}}));
    EXPECT_EQ(spans(1), (Spans{{33, 177}}));
    EXPECT_EQ(spans(2), (Spans{{29, 180}}));
    EXPECT_EQ(spans(9), (Spans{{16, 193}}));
    for (int y = 33; y <= 39; ++y) EXPECT_EQ(spans(y), (Spans{{1, 209}})) << y;
    for (int y = 40; y <= 232; ++y) EXPECT_EQ(spans(y), (Spans{{0, 210}})) << y;
    for (int y = 233; y <= 239; ++y) EXPECT_EQ(spans(y), (Spans{{1, 209}})) << y;
    EXPECT_EQ(spans(272), (Spans{{40, 170}}));
    EXPECT_FALSE(inside(rects, 0, 0));
    EXPECT_FALSE(inside(rects, 144, 0));
    EXPECT_TRUE(inside(rects, 0, 40));
    EXPECT_TRUE(inside(rects, 105, 0));
}

TEST(Assets, SkinAgreesWithTheRegion) {
    Bitmap skin = read_bitmap(kAssets + "/skin.bmp");
    ASSERT_EQ(skin.width, 211);
    ASSERT_EQ(skin.height, 274);
    EXPECT_EQ(skin.bits, 24);
    EXPECT_EQ(skin.compression, 0);
    std::vector<Rect> rects = read_region(read_file(kAssets + "/frm.rgn"));
    const std::uint32_t white = 0xFFFFFF;
    int wrong = 0;
    for (int y = 0; y < skin.height; ++y) {
        for (int x = 0; x < skin.width; ++x) {
            bool in = inside(rects, x, y);
            if (in == (skin.rgb(x, y) == white)) {
                if (++wrong <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") "
                                  << (in ? "inside is white" : "outside is not white");
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    // Bare body is the drag colour, RGB(0x50, 0xC0, 0x50).
    EXPECT_EQ(skin.rgb(5, 100), 0x50C050u);
    EXPECT_EQ(skin.rgb(105, 28), 0x50C050u);
}

TEST(Assets, PressedKeyBitmapsHaveTheirSizes) {
    struct Case {
        const char* file;
        int width, height;
    };
    std::vector<Case> cases;
    for (const char* name :
         {"0",   "1",   "2",  "3",  "4",  "5",     "6",   "7",    "8", "9",      "00",     "000",
          "DOT", "INV", "BS", "AC", "CE", "MINUS", "DIV", "PLUS", "X", "EQUALS", "PERCENT"}) {
        cases.push_back({name, 29, 29});
    }
    for (const char* name : {"MC", "MP", "MM", "MR"}) cases.push_back({name, 23, 23});
    for (const char* name : {"TAXIN", "TAXOUT", "TAX"}) cases.push_back({name, 37, 19});
    cases.push_back({"OFF", 37, 24});
    cases.push_back({"TRON", 64, 68});
    cases.push_back({"TROFF", 64, 68});
    ASSERT_EQ(cases.size(), 33u);
    for (const Case& c : cases) {
        Bitmap bmp = read_bitmap(kAssets + "/keys/key_" + c.file + ".bmp");
        EXPECT_EQ(bmp.width, c.width) << c.file;
        EXPECT_EQ(bmp.height, c.height) << c.file;
        EXPECT_EQ(bmp.bits, 24) << c.file;
        EXPECT_EQ(bmp.compression, 0) << c.file;
    }
}

TEST(Assets, TransferKeyCoversTheCornerExactly) {
    // TROFF and TRON lie at (146, 205) and reach the client area's bottom-right corner; where the
    // outline cuts the corner they are as white as the skin, so the region hides nothing of them.
    Bitmap skin = read_bitmap(kAssets + "/skin.bmp");
    std::vector<Rect> rects = read_region(read_file(kAssets + "/frm.rgn"));
    for (const char* name : {"TROFF", "TRON"}) {
        Bitmap key = read_bitmap(kAssets + "/keys/key_" + std::string(name) + ".bmp");
        ASSERT_EQ(key.width, 64);
        for (int y = 0; y < key.height; ++y) {
            for (int x = 0; x < key.width; ++x) {
                bool in = inside(rects, 146 + x, 205 + y);
                ASSERT_EQ(key.rgb(x, y) == 0xFFFFFFu, !in)
                    << name << " at (" << x << ", " << y << ")";
            }
        }
        // The rim beside the red key is the skin's own.
        EXPECT_EQ(key.rgb(62, 10), skin.rgb(208, 215)) << name;
    }
}

TEST(Assets, OffKeyIsCutByTheOutlineLikeTheSkin) {
    // The OFF key sits on the top edge at (144, 0); its top-right corner lies outside the outline.
    Bitmap off = read_bitmap(kAssets + "/keys/key_OFF.bmp");
    std::vector<Rect> rects = read_region(read_file(kAssets + "/frm.rgn"));
    ASSERT_EQ(off.width, 37);
    for (int y = 0; y < off.height; ++y) {
        for (int x = 0; x < off.width; ++x) {
            if (!inside(rects, 144 + x, y)) {
                ASSERT_EQ(off.rgb(x, y), 0xFFFFFFu) << "(" << x << ", " << y << ")";
            }
        }
    }
}

TEST(Assets, IconsAndResourceScript) {
    // The calculator's icon at 32 pixels; the companion's mascot also at the sizes of 125 %
    // to 300 %, first entry 32.
    for (auto [icon, images] : {std::pair{"/calc.ico", 1}, std::pair{"/mascot.ico", 5}}) {
        std::vector<unsigned char> data = read_file(kAssets + icon);
        ASSERT_GE(data.size(), 22u) << icon;
        EXPECT_EQ(data[2], 1) << icon;  // an icon file
        EXPECT_EQ(data[4], images) << icon;
        EXPECT_EQ(data[6], 32) << icon;
        EXPECT_EQ(data[7], 32) << icon;
    }
    std::vector<unsigned char> rc = read_file(kAssets + "/assets.rc");
    std::string script(rc.begin(), rc.end());
    EXPECT_NE(script.find("LANGUAGE 0x11, 0x01"), std::string::npos);
    std::size_t bitmaps = 0;
    for (std::size_t at = script.find("\" BITMAP"); at != std::string::npos;
         at = script.find("\" BITMAP", at + 1)) {
        ++bitmaps;
    }
    EXPECT_EQ(bitmaps, 33u);
    EXPECT_NE(script.find("\"TAXOUT\" BITMAP \"keys/key_TAXOUT.bmp\""), std::string::npos);
    EXPECT_NE(script.find("\".\" BITMAP \"keys/key_DOT.bmp\""), std::string::npos);
    EXPECT_NE(script.find("FRM RGN \"frm.rgn\""), std::string::npos);
}

}  // namespace
