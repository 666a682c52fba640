#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "key_table.h"
#include "tape.h"

namespace z5calc {

// A part of the calculator's face as a screen reader sees it: where it is in client pixels,
// and whether it is shown.
struct AccessiblePart {
    RECT rect{};
    bool visible = false;
};

// What the accessible object needs of the calculator window, and all it may do to it.
class AccessibleWindow {
  public:
    virtual HWND client_window() const noexcept = 0;
    virtual AccessiblePart key_part(KeyId id) const noexcept = 0;
    virtual AccessiblePart readout_part() const noexcept = 0;
    virtual AccessiblePart mem_mark_part() const noexcept = 0;
    virtual std::string_view readout_text() const noexcept = 0;
    // The tax rate switch: where its mark is, the rate the tax keys use ("10%"), and switching.
    virtual AccessiblePart rate_switch_part() const noexcept = 0;
    virtual std::wstring tax_rate_text() const = 0;
    virtual void switch_tax_rate() noexcept = 0;
    // True from a switch of the rate until the readout next changes: the readout's name, which
    // its live region speaks, then names the new rate first.
    virtual bool rate_just_switched() const noexcept = 0;
    // The grand total's mark and the rounding's (CalcAccessible's children), and their values:
    // the total as the readout shows a number, the rounding in words.
    virtual AccessiblePart mark_part(long child) const noexcept = 0;
    virtual std::wstring grand_total_value() const = 0;
    virtual std::wstring rounding_value() const = 0;
    virtual std::optional<KeyId> pressed_key() const noexcept = 0;
    // Presses and lets go of a key as a click does; false for a hidden key.
    virtual bool click_key(KeyId id) noexcept = 0;

  protected:
    ~AccessibleWindow() = default;
};

// What the tape's accessible object needs of the tape window.
class AccessibleTape {
  public:
    virtual HWND client_window() const noexcept = 0;
    virtual bool shown() const noexcept = 0;
    virtual std::size_t line_count() const noexcept = 0;
    // Line i (0 the oldest, below line_count()) as it is shown (a correction's typed number in
    // place of its own), and where it is drawn in client pixels: false for a line out of view.
    virtual TapeLine line(std::size_t i) const noexcept = 0;
    virtual bool line_rect(std::size_t i, RECT& r) const noexcept = 0;
    // The line a correction works on: the list's selection.
    virtual std::optional<std::size_t> marked_line() const noexcept = 0;

  protected:
    ~AccessibleTape() = default;
};

}  // namespace z5calc
