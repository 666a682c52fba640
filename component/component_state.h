#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "calc_window.h"
#include "settings_store.h"

namespace z5calc {

// The values one loaded component holds for its host process, shared by every object the host
// creates. Zero or empty at load; never reset while the component stays loaded.
struct ComponentState {
    explicit ComponentState(SettingsPlatform& platform = win32_settings_platform())
        : settings(platform) {}

    SettingsStore settings;
    std::int16_t msgMode = 0;  // 0: messages go to the talking companion
    std::wstring helpFolder;   // folder of the help file given by the host, with its "\"
    double calcValue = 0;
    // The calculator, made at its first use; its window exists only during a call.
    std::unique_ptr<CalcWindow> calcWindow;
};

ComponentState& component_state();

// The host's calls on the component's settings.
void SetAppName(ComponentState& state, std::wstring_view fname);
void SetHelpFile(ComponentState& state, std::wstring_view fname, std::int32_t id);

}  // namespace z5calc
