#pragma once

// Where the tape goes beside the calculator. Portable, so that its rules are tested natively.
namespace z5calc {

struct PlaceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The tape's rectangle (its size given) beside `calc`, in the first of these places that lies
// on the work area and covers neither the calculator nor the host's field: below, right, left,
// above. When none does, below, pulled onto the work area. `gap` pixels apart.
PlaceRect place_tape(const PlaceRect& calc, int width, int height, const PlaceRect& field,
                     const PlaceRect& work, int gap) noexcept;

}  // namespace z5calc
