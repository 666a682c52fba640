#include "component_state.h"

#include <string>

#include "error_info.h"
#include "handles.h"
#include "talk_msgbox.h"
#include "wide_decimal.h"

namespace z5calc {
namespace {

// iniFile points at the host's file only while its keys are read. It goes back to the
// component's own file however the reads end: an overflow must not leave later writes (help
// file, window position) landing in the host's settings.
class HostFileScope {
  public:
    HostFileScope(SettingsStore& s, std::wstring path) : s_(s) { s_.iniFile = std::move(path); }
    ~HostFileScope() { s_.iniFile = s_.setupFolder + L"z5calc.ini"; }
    HostFileScope(const HostFileScope&) = delete;
    HostFileScope& operator=(const HostFileScope&) = delete;

  private:
    SettingsStore& s_;
};

// A name that goes into a settings file or to the system's file functions: refused, with the
// method's name in the description, when it cannot be one.
void require_file_name(std::wstring_view name, const std::wstring& path, const wchar_t* method,
                       const wchar_t* what, std::size_t reserve = 0) {
    if (has_control_character(name)) {
        throw ComError{E_INVALIDARG, std::wstring(method) + L": the " + what +
                                         L" holds a line break or another control character"};
    }
    if (!fits_file_functions(path, reserve)) {
        throw ComError{E_INVALIDARG, std::wstring(method) + L": the " + what +
                                         L" is too long for a file path (" +
                                         wide_decimal(name.size()) + L" characters)"};
    }
}

// A host file that is there but cannot be read (another program holds it locked, or its rights
// forbid it) is no missing file: reading would give the defaults, and SetAppName would write
// them over the component's own settings.
void require_readable(const std::wstring& file) {
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return;  // missing: defaults
    const UniqueFile opened(CreateFileW(file.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (opened.get() != INVALID_HANDLE_VALUE) return;
    const DWORD error = GetLastError();
    throw ComError{HRESULT_FROM_WIN32(error), L"SetAppName: the settings file " + file +
                                                  L" is there but cannot be read (Windows error " +
                                                  wide_decimal(error) + L"); nothing was changed"};
}

}  // namespace

SettingsStore& ComponentHost::settings() noexcept {
    return state_.settings;
}

std::int16_t ComponentHost::message_box(HWND owner, const std::wstring& text,
                                        std::int16_t style) noexcept {
    return TalkMsgBox(owner, text, style, link(), state_.waiting, WindowBase::code_module());
}

void ComponentHost::talk_close() noexcept {
    TalkClose(link());
}

TalkLink& ComponentHost::link() noexcept {
    TalkLink& l = state_.talk;
    l.msgMode = state_.msgMode;
    try {
        l.appFolder = state_.settings.appFolder;
        l.helpFolder = state_.helpFolder;
    } catch (...) {
    }
    return l;
}

void SetAppName(ComponentState& state, std::wstring_view fname) {
    SettingsStore& s = state.settings;
    if (!s.started()) s.InitSettings();
    std::wstring hostFile = host_ini_path(s.setupFolder, fname);
    require_file_name(fname, hostFile, L"SetAppName", L"name");
    require_readable(hostFile);
    s.PutIniValue(ini_keys::kAppPath.section, ini_keys::kAppPath.key, fname);
    {
        HostFileScope host(s, hostFile);
        s.ReadTaxSettings(SettingsStore::Reading::Strict);
        state.msgMode = s.GetIniInt16(ini_keys::kMsgMode);
        // Only a missing entry (read as -1) takes the fallback: other values choose the box.
        if (state.msgMode == -1)
            state.msgMode = static_cast<std::int16_t>(ini_keys::kMsgMode.fallback);
    }
    state.hostIniFile = std::move(hostFile);
    s.PutIniValue(ini_keys::kTax.section, ini_keys::kTax.key, s.taxRate * 1000);
    s.PutIniValue(ini_keys::kTaxMode.section, ini_keys::kTaxMode.key,
                  static_cast<double>(s.taxMode));
}

void SetHelpFile(ComponentState& state, std::wstring_view fname, std::int32_t id) {
    require_file_name(fname, std::wstring(fname), L"SetHelpFile", L"help file name",
                      kHelpViewerReserve);
    SettingsStore& s = state.settings;
    s.helpFile = fname;
    s.helpID = id;
    // Before the start-up there is no settings file yet, and nothing is stored.
    s.PutIniValue(ini_keys::kHelpFile.section, ini_keys::kHelpFile.key, fname);
    s.PutIniValue(ini_keys::kHelpID.section, ini_keys::kHelpID.key, static_cast<double>(id));
    state.helpFolder = folder_of(fname);
}

void ReadCallTaxSettings(ComponentState& state) {
    SettingsStore& s = state.settings;
    if (state.hostIniFile.empty()) {
        s.ReadTaxSettings();
        return;
    }
    HostFileScope host(s, state.hostIniFile);
    s.ReadTaxSettings();
}

void SetTaxRateKind(ComponentState& state, std::int32_t kind) {
    if (kind != 0 && kind != 1) {
        throw ComError{E_INVALIDARG,
                       L"TaxRateKind must be 0 (the standard rate) or 1 (the reduced rate)"};
    }
    state.openRateKind = kind == 1 ? TaxRateKind::Reduced : TaxRateKind::Standard;
    state.calculation.set_tax_rate_kind(state.openRateKind);
}

void SetDecimals(ComponentState& state, std::int32_t decimals) {
    if (decimals < -1 || decimals > 4) {
        throw ComError{E_INVALIDARG,
                       L"Decimals must be a whole number from 0 to 4, or -1 for results as "
                       L"computed"};
    }
    state.hostDecimals = decimals;
}

void SetRounding(ComponentState& state, std::int32_t rule) {
    if (rule < 0 || rule > 2) {
        throw ComError{E_INVALIDARG,
                       L"Rounding must be 0 (toward zero), 1 (away from zero) or 2 (half away "
                       L"from zero)"};
    }
    state.hostRounding = rule;
}

ResultRounding CallRounding(const ComponentState& state) {
    const SettingsStore& s = state.settings;
    return {static_cast<std::int8_t>(state.hostDecimals.value_or(s.decimals)),
            static_cast<ResultRule>(state.hostRounding.value_or(s.rounding))};
}

}  // namespace z5calc
