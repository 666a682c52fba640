#include "tape_place.h"

#include <algorithm>

namespace z5calc {
namespace {

long long overlap(const PlaceRect& a, const PlaceRect& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Moved the least that brings it onto the work area (its top-left first when it is larger).
PlaceRect pulled_onto(const PlaceRect& r, const PlaceRect& work) {
    const int dx = std::max(work.left - r.left, std::min(0, work.right - r.right));
    const int dy = std::max(work.top - r.top, std::min(0, work.bottom - r.bottom));
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

PlaceRect place_tape(const PlaceRect& calc, int width, int height, const FieldRects& fields,
                     const PlaceRect& work, int gap) noexcept {
    const auto on_fields = [&](const PlaceRect& r) {
        return overlap(r, fields.given) + overlap(r, fields.focused);
    };
    // The field in use, where the host named one.
    const PlaceRect& field =
        fields.focused.right > fields.focused.left ? fields.focused : fields.given;
    const int below = calc.bottom + gap, above = calc.top - gap - height;
    const int right = calc.right + gap, left = calc.left - gap - width;
    // Beside the calculator, and clear of the field, which may lie beside it too.
    const int overField = field.top - gap - height, underField = field.bottom + gap;
    const PlaceRect candidates[] = {
        {calc.left, below, calc.left + width, below + height},
        {calc.right - width, below, calc.right, below + height},
        {right, calc.top, right + width, calc.top + height},
        {right, calc.bottom - height, right + width, calc.bottom},
        {left, calc.top, left + width, calc.top + height},
        {left, calc.bottom - height, left + width, calc.bottom},
        {calc.left, above, calc.left + width, above + height},
        {calc.right - width, above, calc.right, above + height},
        {right, overField, right + width, overField + height},
        {right, underField, right + width, underField + height},
        {left, overField, left + width, overField + height},
        {left, underField, left + width, underField + height},
    };
    // The first place, once on the work area, that covers least of the field (which the
    // person is filling in), then least of the calculator.
    PlaceRect best = pulled_onto(candidates[0], work);
    long long bestField = on_fields(best), bestCalc = overlap(best, calc);
    for (const PlaceRect& candidate : candidates) {
        const PlaceRect r = pulled_onto(candidate, work);
        const long long onField = on_fields(r), onCalc = overlap(r, calc);
        if (onField < bestField || (onField == bestField && onCalc < bestCalc)) {
            best = r;
            bestField = onField;
            bestCalc = onCalc;
        }
    }
    return best;
}

}  // namespace z5calc
