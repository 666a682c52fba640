#pragma once

#include <windows.h>

// The messages the component's windows post to themselves, each its own number, so that a
// message never means two things in one process.
namespace z5calc {

// The calculator window: an activation, handled once the activation itself is over.
inline constexpr UINT kActivatedMessage = WM_APP + 1;
// The waiting window: send the message to the companion, once the window is up.
inline constexpr UINT kSendToCompanionMessage = WM_APP + 2;
// The companion's command window: present the message it was given.
inline constexpr UINT kPresentMessage = WM_APP + 3;
// The tape tells the calculator a line was clicked: wParam is its index (0 the oldest).
inline constexpr UINT kTapeLineClicked = WM_APP + 4;

}  // namespace z5calc
