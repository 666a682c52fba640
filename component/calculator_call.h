#pragma once

#include "component_state.h"

struct windowstay;

namespace z5calc {

// The calculator call: opens the calculator modally beside the host's field (ws, in screen
// twips) with m on the readout and returns the transferred value, or m when the user closes
// it without transferring. mmax is the largest magnitude accepted, 0 for no limit. A value
// that is not finite, or a placement beyond the screen's coordinates, fails with a ComError
// and leaves no window behind. Called while the window is shown, it saves the calculator,
// runs its own display and then shows the earlier window again without activating it.
// Without a field (ws null: a script host that has no record to give) the calculator opens
// beside the mouse pointer.
double showcalc(ComponentState& state, double m, const windowstay* ws, double mmax);

}  // namespace z5calc
