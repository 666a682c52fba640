#pragma once

#include <memory>

#include "component_state.h"

namespace z5calc {

// The component's values belong to the apartment (the thread) that uses them, as module data
// does under the apartment model: every thread that makes objects has a set of its own. A set is
// made at its thread's first use and goes with the last object that holds it; a thread that
// ends leaves its set to those objects only, so a later thread with a reused id starts afresh.
// Process-wide, and shared under locks, are only the module count and the window classes.
std::shared_ptr<ComponentState> apartment_state();

// The calling thread ends: its set is no longer found for it.
void apartment_thread_ended() noexcept;

}  // namespace z5calc
