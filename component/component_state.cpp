#include "component_state.h"

namespace z5calc {

ComponentState& component_state() {
    static ComponentState state;
    return state;
}

void SetAppName(ComponentState& state, std::wstring_view fname) {
    SettingsStore& s = state.settings;
    if (!s.started()) s.InitSettings();
    s.PutIniValue(ini_keys::kAppPath.section, ini_keys::kAppPath.key, fname);

    // iniFile points at the host's file only while its keys are read. It goes back to the
    // component's own file however the reads end: an overflow must not leave later writes
    // (help file, window position) landing in the host's settings.
    {
        struct OwnFileAgain {
            SettingsStore& s;
            ~OwnFileAgain() { s.iniFile = s.setupFolder + L"z5calc.ini"; }
        } own_file_again{s};
        s.iniFile = host_ini_path(s.setupFolder, fname);

        s.taxRate = s.GetIniValue(ini_keys::kTax) / 1000.0;
        if (s.taxRate < 0) s.taxRate = 0.05;
        s.taxMode = checked_int16(s.GetIniValue(ini_keys::kTaxMode));
        if (s.taxMode < 0) s.taxMode = 0;
        state.msgMode = checked_int16(s.GetIniValue(ini_keys::kMsgMode));
        if (state.msgMode == -1) state.msgMode = 0;
    }
    s.PutIniValue(ini_keys::kTax.section, ini_keys::kTax.key, s.taxRate * 1000);
    s.PutIniValue(ini_keys::kTaxMode.section, ini_keys::kTaxMode.key,
                  static_cast<double>(s.taxMode));
}

void SetHelpFile(ComponentState& state, std::wstring_view fname, std::int32_t id) {
    SettingsStore& s = state.settings;
    s.helpFile = fname;
    s.helpID = id;
    // Before the start-up there is no settings file yet, and nothing is stored.
    s.PutIniValue(ini_keys::kHelpFile.section, ini_keys::kHelpFile.key, fname);
    s.PutIniValue(ini_keys::kHelpID.section, ini_keys::kHelpID.key, static_cast<double>(id));
    state.helpFolder = folder_of(fname);
}

}  // namespace z5calc
