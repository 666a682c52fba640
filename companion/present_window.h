#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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

// The companion's own message window: mascot, the style's icon, the text and the buttons.
// It calls `answered` once with the result the user chose and then goes away.
class PresentWindow final : public z5calc::WindowBase {
  public:
    bool show(const std::wstring& text, UINT style, POINT centre, HICON mascot,
              std::function<void(int)> answered);
    void close() noexcept;
    // Enter, Esc and Tab as a dialog box has them; true when the message was taken.
    bool dialog_message(MSG& msg) noexcept;

  private:
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;
    void answer(int result) noexcept;

    std::wstring text_;
    ButtonSet set_;
    int defaultId_ = IDOK;
    HICON mascot_ = nullptr;
    HICON icon_ = nullptr;
    HFONT font_ = nullptr;
    RECT textRect_ = {};
    std::function<void(int)> answered_;
};

}  // namespace talkzel
