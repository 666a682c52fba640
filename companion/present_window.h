#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gdi_handles.h"
#include "window_base.h"

namespace talkzel {

// The buttons of a message-box style word (its low four bits), as result values, and the one
// that Esc gives (0: Esc does nothing, as in the standard box's Yes/No and Abort/Retry/Ignore).
struct ButtonSet {
    std::vector<int> buttons;
    int escape;
};
ButtonSet buttons_of(UINT style);
// The default button's index (bits 8 and 9), kept within the set.
int default_index(UINT style, const ButtonSet& set);
const wchar_t* button_text(int result);

// The companion's own message window: mascot, the style's icon, the text and the buttons, laid
// out for the DPI it is shown at, in a face that has the Japanese glyphs.
// It calls `answered` once with the result the user chose and then goes away.
class PresentWindow final : public z5calc::WindowBase {
  public:
    // The mascot is the icon resource "MASCOT" of `art`.
    bool show(const std::wstring& text, UINT style, POINT centre, HMODULE art,
              std::function<void(int)> answered);
    void close() noexcept;
    // Enter, Esc and Tab as a dialog box has them; true when the message was taken.
    bool dialog_message(MSG& msg) noexcept;

  private:
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void answer(int result) noexcept;
    // Fonts, icons, controls and the window's size for `dpi`, the window centred on `centre`
    // and kept within that monitor's work area.
    void lay_out(int dpi, POINT centre) noexcept;
    // The text's control, made anew when the kind changes: static text, or a read-only edit
    // control that scrolls for a text taller than the screen.
    void make_text_control(bool scrolls) noexcept;
    void paint(HDC dc) const noexcept;

    std::wstring text_;
    ButtonSet set_;
    int defaultId_ = IDOK;
    UINT style_ = 0;
    HMODULE art_ = nullptr;
    int dpi_ = 96;
    z5calc::UniqueHicon mascot_;
    z5calc::UniqueHicon icon_;
    z5calc::UniqueHfont font_;
    HWND textControl_ = nullptr;
    bool textScrolls_ = false;
    std::vector<HWND> buttons_;
    std::function<void(int)> answered_;
};

}  // namespace talkzel
