#include "dpi_scale.h"

#include <gtest/gtest.h>

namespace z5calc {
namespace {

TEST(DpiScale, LengthsRoundHalfUp) {
    struct Case {
        int v, dpi, expected;
    };
    for (Case c :
         {Case{210, 96, 210}, Case{210, 144, 315}, Case{273, 144, 410}, Case{273, 192, 546},
          Case{31, 120, 39}, Case{2, 120, 3}, Case{1, 144, 2}, Case{3, 168, 5}, Case{0, 192, 0},
          Case{-1, 144, -1}, Case{-3, 144, -4}, Case{25, 110, 29}}) {
        EXPECT_EQ(scaled(c.v, c.dpi), c.expected) << c.v << " at " << c.dpi;
    }
}

TEST(DpiScale, KeysThatMeetStillMeet) {
    for (const KeyRow& k : kKeys) EXPECT_EQ(scaled(k.rect, 96), k.rect);
    for (int dpi : {96, 110, 120, 144, 168, 192, 240, 288}) {
        SCOPED_TRACE(dpi);
        const KeyRect seven = scaled(key_spec(KeyId::Num7).rect, dpi);
        const KeyRect eight = scaled(key_spec(KeyId::Num8).rect, dpi);
        const KeyRect four = scaled(key_spec(KeyId::Num4).rect, dpi);
        EXPECT_EQ(seven.left + seven.width, eight.left);
        EXPECT_EQ(seven.top + seven.height, four.top);
        // The transfer key still reaches the client area's corner.
        const KeyRect trans = scaled(key_spec(KeyId::Trans).rect, dpi);
        EXPECT_EQ(trans.left + trans.width, scaled(210, dpi));
        EXPECT_EQ(trans.top + trans.height, scaled(273, dpi));
    }
    EXPECT_EQ(scaled(key_spec(KeyId::Num7).rect, 192), (KeyRect{20, 206, 62, 60}));
    EXPECT_EQ(scaled(key_spec(KeyId::Num7).rect, 144), (KeyRect{15, 155, 47, 45}));
}

TEST(DpiScale, ArtIsTheDrawnScaleOrTheNearestLarger) {
    struct Case {
        int dpi, percent;
    };
    for (Case c : {Case{96, 100}, Case{72, 100}, Case{97, 125}, Case{120, 125}, Case{144, 150},
                   Case{168, 175}, Case{192, 200}, Case{193, 250}, Case{240, 250}, Case{288, 300},
                   Case{480, 300}}) {
        EXPECT_EQ(art_percent(c.dpi), c.percent) << c.dpi;
    }
    for (Case c : {Case{0, 96}, Case{-96, 96}, Case{47, 96}, Case{48, 48}, Case{960, 960},
                   Case{961, 96}, Case{192, 192}}) {
        EXPECT_EQ(usable_dpi(c.dpi), c.percent) << c.dpi;
    }
}

}  // namespace
}  // namespace z5calc
