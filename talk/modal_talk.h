#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "talksub.h"
#include "window_base.h"

namespace z5calc {

// frmModalTalk: the one-pixel window the caller waits in while the companion presents a
// message. One object serves every message of its apartment; talkReply keeps the last answer.
class ModalTalkWindow final : public WindowBase {
  public:
    ~ModalTalkWindow();

    bool load(HMODULE resources) noexcept;
    void unload() noexcept;
    // Places the window's top-left corner at a screen point in pixels.
    void move_to(double x, double y) noexcept;

    // The companion's message box (the fourth kind of message routine): records the message,
    // waits modally until the companion answers (or its window goes), gives the focus back and
    // returns the answer. The wait also ends, with `unanswered` set, when the companion does not
    // take the message, stops pumping its messages, or the user presses Esc in the wait.
    std::int16_t msgbox4(HWND hWnd, std::wstring_view msg, std::int16_t icon,
                         TalkLink& link) noexcept;

    // How the message is shown: "talkzel" through the companion, else the standard box.
    std::wstring modestr;
    std::wstring msgText;
    std::int16_t msgStyle = 0;
    std::int16_t talkReply = 0;
    bool unanswered = false;

  private:
    LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept override;

    void end_wait(bool answered) noexcept;

    TalkLink* link_ = nullptr;
    bool sent_ = false;
};

}  // namespace z5calc
