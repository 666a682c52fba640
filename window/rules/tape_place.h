#pragma once

// Where the tape goes beside the calculator. Portable, so that its rules are tested natively.
namespace z5calc {

struct PlaceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What the tape keeps clear of: the field's rectangle as the host gave it, and the control that
// had the keyboard when the calculator was called, which is the field in use where a host gives
// a rectangle beside it instead.
struct FieldRects {
    PlaceRect given, focused;
};

// The tape's rectangle (its size given) beside `calc`, `gap` pixels apart, on the work area: the
// first of these places that covers neither the host's fields nor the calculator: below, right,
// left, above, each aligned with the calculator's near edge and then its far edge; right and
// left clear above and below the field; each pulled onto the work area. Where every place
// covers something, the one that covers least of the field, then of the calculator.
PlaceRect place_tape(const PlaceRect& calc, int width, int height, const FieldRects& field,
                     const PlaceRect& work, int gap) noexcept;

}  // namespace z5calc
