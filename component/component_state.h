#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "calc_window.h"
#include "modal_talk.h"
#include "settings_store.h"
#include "talksub.h"

namespace z5calc {

struct ComponentState;

// The component as the calculator window sees it.
class ComponentHost final : public CalcWindowHost {
  public:
    explicit ComponentHost(ComponentState& state) noexcept : state_(state) {}
    SettingsStore& settings() noexcept override;
    std::int16_t message_box(HWND owner, const std::wstring& text,
                             std::int16_t style) noexcept override;
    void talk_close() noexcept override;

  private:
    // The companion link, following the component's settings as they are at the moment.
    TalkLink& link() noexcept;

    ComponentState& state_;
};

// The values one apartment of the host holds, shared by every object made on its thread. Zero
// or empty when made.
struct ComponentState {
    explicit ComponentState(SettingsPlatform& platform = win32_settings_platform())
        : settings(platform) {}
    ComponentState(const ComponentState&) = delete;
    ComponentState& operator=(const ComponentState&) = delete;

    SettingsStore settings;
    std::int16_t msgMode = 0;  // 0: messages go to the talking companion
    std::wstring helpFolder;   // folder of the help file given by the host, with its "\"
    // The host's own settings file once SetAppName named it: every call takes its tax settings
    // from there, so that another host's SetAppName cannot change this host's rate.
    std::wstring hostIniFile;
    // The COM causality (logical thread) of the call whose calculator is shown: a call from
    // inside that call (the host's timer) is nested in it; one from another caller is not.
    GUID callCausality = {};
    // The rate the host asks calls to open with (standard until it sets one). The one in use,
    // which the host reads back, is the calculation's.
    TaxRateKind openRateKind = TaxRateKind::Standard;
    // The host's decimals and rounding rule for its calls, once it set them; until then the
    // settings file's.
    std::optional<std::int32_t> hostDecimals, hostRounding;
    // The calculation: memory, tape and rates from one call to the next, before the first and
    // during one. Its window is made at the first call and exists only during a call.
    Calculation calculation;
    std::unique_ptr<CalcWindow> calcWindow;
    TalkLink talk;
    ModalTalkWindow waiting;  // frmModalTalk, loaded once per message
    ComponentHost host{*this};
};

// The host's calls on the component's settings. Names that cannot be a settings file or a help
// file (too long for the system's functions, or with characters a settings value cannot hold)
// are refused with a ComError before anything is written.
void SetAppName(ComponentState& state, std::wstring_view fname);
void SetHelpFile(ComponentState& state, std::wstring_view fname, std::int32_t id);

// The tax rate and mode for a call: from the host's file when SetAppName named one, else from
// the component's own; a value out of range gives that key's default instead of failing.
void ReadCallTaxSettings(ComponentState& state);

// TaxRateKind as hosts give it: 0 the standard rate, 1 the reduced one; any other value is
// refused with a ComError (E_INVALIDARG) naming the property and its values.
void SetTaxRateKind(ComponentState& state, std::int32_t kind);

// Decimals (-1 as computed, 0 to 4) and Rounding (0 toward zero, 1 away from zero, 2 half away
// from zero) as hosts give them for their calls; any other value is refused with a ComError
// (E_INVALIDARG) naming the values, and the one set before stays.
void SetDecimals(ComponentState& state, std::int32_t decimals);
void SetRounding(ComponentState& state, std::int32_t rule);

// How a call rounds its results: the host's values where it set them, else those of the
// settings last read by ReadCallTaxSettings.
ResultRounding CallRounding(const ComponentState& state);

}  // namespace z5calc
