#include "tape_place.h"

#include <gtest/gtest.h>

namespace z5calc {
namespace {

// A 200 × 150 tape beside calculators and fields, a 1280 × 1000 work area, 4 pixels apart.
TEST(TapePlace, FirstPlaceOnTheScreenAndOffTheField) {
    const PlaceRect work = {0, 0, 1280, 1000};
    const FieldRects none = {};
    struct Case {
        PlaceRect calc;
        FieldRects field;
        PlaceRect tape;
        int width = 200, height = 150;
    };
    const Case cases[] = {
        {{100, 100, 300, 360}, none, {100, 364, 300, 514}},      // below
        {{100, 800, 300, 1060}, none, {304, 800, 504, 950}},     // no room below: right
        {{1080, 800, 1280, 1060}, none, {876, 800, 1076, 950}},  // nor right: left
        {{100, 100, 300, 360},
         {{100, 380, 300, 400}, {}},
         {304, 100, 504, 250}},                          // the field below
        {{0, 0, 1280, 990}, none, {0, 850, 200, 1000}},  // nowhere: pulled on
        // At 200 %: a tall calculator right of the host, which gives a rectangle of no width at
        // its edge; neither above nor below free, the field in use left of the calculator:
        // left of it, clear above that field.
        {{490, 200, 920, 760},
         {{486, 470, 486, 495}, {300, 470, 480, 495}},
         {66, 166, 486, 466},
         420,
         300},
        // Only places that cover the calculator: the one that covers least of it.
        {{100, 0, 1280, 1000}, {{0, 900, 120, 920}, {}}, {0, 0, 200, 150}},
    };
    for (const Case& c : cases) {
        const PlaceRect r = place_tape(c.calc, c.width, c.height, c.field, work, 4);
        EXPECT_EQ(r.left, c.tape.left) << c.calc.left << "," << c.calc.top;
        EXPECT_EQ(r.top, c.tape.top) << c.calc.left << "," << c.calc.top;
        EXPECT_EQ(r.right - r.left, c.width);
        EXPECT_EQ(r.bottom - r.top, c.height);
    }
}

}  // namespace
}  // namespace z5calc
