#pragma once

#include <windows.h>

#include <optional>

#include "layout.h"
#include "settings_store.h"
#include "window_twips.h"

// The calculator window's place between its displays, kept in the settings' [Window] keys.
namespace z5calc {

// Where the window goes at load, in twips: the saved place, or centred on the screen when none
// is saved. Nothing when the saved place is beyond 32 bits, so that the system's place stays.
std::optional<TwipsBox> saved_window_place(const SettingsStore& settings, float width, float height,
                                           WindowMetrics metrics) noexcept;

// Writes the window's place at a real close. A failed write is ignored.
void save_window_place(const SettingsStore& settings, HWND window, WindowMetrics metrics) noexcept;

}  // namespace z5calc
