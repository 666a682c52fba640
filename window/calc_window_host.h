#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "settings_store.h"

namespace z5calc {

// What the calculator window needs of the component around it.
class CalcWindowHost {
  public:
    // The settings whose [Window] section keeps the window's position.
    virtual SettingsStore& settings() noexcept = 0;
    // The component's message routine; returns the answer.
    virtual std::int16_t message_box(HWND owner, const std::wstring& text,
                                     std::int16_t style) noexcept = 0;
    // The companion's part in a real close.
    virtual void talk_close() noexcept = 0;

  protected:
    ~CalcWindowHost() = default;
};

}  // namespace z5calc
