#include "tape_place.h"

#include <gtest/gtest.h>

namespace z5calc {
namespace {

// A 200 × 260 calculator, a 200 × 150 tape, a 1280 × 1000 work area, 4 pixels apart.
TEST(TapePlace, FirstPlaceOnTheScreenAndOffTheField) {
    const PlaceRect work = {0, 0, 1280, 1000}, none = {0, 0, 0, 0};
    struct Case {
        PlaceRect calc, field;
        PlaceRect tape;
    };
    const Case cases[] = {
        {{100, 100, 300, 360}, none, {100, 364, 300, 514}},                  // below
        {{100, 800, 300, 1060}, none, {304, 800, 504, 950}},                 // no room below: right
        {{1080, 800, 1280, 1060}, none, {876, 800, 1076, 950}},              // nor right: left
        {{100, 100, 300, 360}, {100, 380, 300, 400}, {304, 100, 504, 250}},  // the field below
        {{0, 0, 1280, 990}, none, {0, 850, 200, 1000}},                      // nowhere: pulled on
    };
    for (const Case& c : cases) {
        const PlaceRect r = place_tape(c.calc, 200, 150, c.field, work, 4);
        EXPECT_EQ(r.left, c.tape.left) << c.calc.left << "," << c.calc.top;
        EXPECT_EQ(r.top, c.tape.top) << c.calc.left << "," << c.calc.top;
        EXPECT_EQ(r.right - r.left, 200);
        EXPECT_EQ(r.bottom - r.top, 150);
    }
}

}  // namespace
}  // namespace z5calc
