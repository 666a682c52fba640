#include "layout.h"
#include "screen_rules.h"

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

TEST(PlacementTwips, UnroundedWhereTheRecordedNumberIsTheScreensOwn) {
    struct Case {
        std::int32_t recorded;
        int dpi;
        double expected;
    };
    for (Case c : {Case{15, 96, 15}, Case{12, 120, 12}, Case{10, 144, 10}, Case{8, 192, 7.5},
                   Case{9, 168, 1440.0 / 168}, Case{6, 240, 6}, Case{5, 288, 5}, Case{15, 192, 15},
                   Case{7, 192, 7}, Case{15, 0, 15}, Case{15, -96, 15}}) {
        EXPECT_DOUBLE_EQ(placement_twips(c.recorded, c.dpi), c.expected)
            << c.recorded << " at " << c.dpi;
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

}  // namespace
}  // namespace z5calc
