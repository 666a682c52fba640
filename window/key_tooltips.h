#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "gdi_handles.h"
#include "key_table.h"

namespace z5calc {

// The tooltips of the calculator's keys: resting the pointer on a key shows its name and its
// shortcut. The keys are drawn, so the window relays its mouse messages here.
class KeyTooltips {
  public:
    KeyTooltips() = default;
    KeyTooltips(const KeyTooltips&) = delete;
    KeyTooltips& operator=(const KeyTooltips&) = delete;

    // Creates the tooltip window for `owner` with one tool per key; false without one (the
    // calculator then works without tooltips). It goes with its owner.
    bool create(HWND owner, int dpi) noexcept;
    // Gone with its owner; its font goes now.
    void forget() noexcept {
        tips_ = nullptr;
        font_.reset();
    }
    // The texts in a face that has their Japanese glyphs, sized for `dpi`.
    void scale(int dpi) noexcept;
    // Puts each key's tool over the key's rectangle (client pixels); a hidden key's rectangle
    // is empty.
    void place(const std::array<RECT, kKeyCount>& keys) noexcept;
    void relay(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // Gives a key's tooltip another text (a tax key names the rate it will use).
    void set_text(KeyId id, const std::wstring& text) noexcept;
    // The rounding mark's tooltip: where the mark is (empty while hidden) and what it says.
    void set_mark(const RECT& r) noexcept;
    void set_mark_text(const std::wstring& text) noexcept;
    HWND window() const noexcept { return tips_; }

  private:
    static constexpr UINT_PTR kMarkTool = kKeyCount;
    void set_tool_text(UINT_PTR tool, const wchar_t* text) noexcept;
    void set_tool_rect(UINT_PTR tool, const RECT& r) noexcept;

    HWND owner_ = nullptr;
    RECT mark_{};
    std::wstring markText_;
    HWND tips_ = nullptr;
    UniqueHfont font_;
};

}  // namespace z5calc
