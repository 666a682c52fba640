#include "tape_place.h"

#include <algorithm>

namespace z5calc {
namespace {

bool overlaps(const PlaceRect& a, const PlaceRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(const PlaceRect& r, const PlaceRect& work) {
    return r.left >= work.left && r.top >= work.top && r.right <= work.right &&
           r.bottom <= work.bottom;
}

}  // namespace

PlaceRect place_tape(const PlaceRect& calc, int width, int height, const PlaceRect& field,
                     const PlaceRect& work, int gap) noexcept {
    const PlaceRect candidates[] = {
        {calc.left, calc.bottom + gap, calc.left + width, calc.bottom + gap + height},
        {calc.right + gap, calc.top, calc.right + gap + width, calc.top + height},
        {calc.left - gap - width, calc.top, calc.left - gap, calc.top + height},
        {calc.left, calc.top - gap - height, calc.left + width, calc.top - gap},
    };
    for (const PlaceRect& r : candidates) {
        if (inside(r, work) && !overlaps(r, field)) return r;
    }
    PlaceRect r = candidates[0];
    const int dx = std::max(work.left - r.left, std::min(0, work.right - r.right));
    const int dy = std::max(work.top - r.top, std::min(0, work.bottom - r.bottom));
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace z5calc
