#include "calc_window.h"

#include <utility>

#include "clipboard.h"
#include "number_text.h"
#include "version_box.h"

namespace z5calc {
namespace {

int shift_state(WPARAM keys) noexcept {
    int shift = 0;
    if (keys & MK_SHIFT) shift |= kShiftKey;
    if (keys & MK_CONTROL) shift |= kCtrlKey;
    if (GetKeyState(VK_MENU) < 0) shift |= kAltKey;
    return shift;
}

}  // namespace

void CalcWindow::key_press(wchar_t ch) noexcept {
    if (!hwnd()) return;
    // Ctrl with a letter also makes a control character (Ctrl+H is 0x08, Backspace's): the
    // chord was a shortcut's, handled at its key-down, never a key of the calculator.
    if (ch < 0x20 && GetKeyState(VK_CONTROL) < 0) return;
    const std::optional<KeyId> id = key_for_char(ch);
    if (!id) return;
    if (correction_) {
        correction_key(*id);  // Enter corrects whether or not 転記 is shown
        return;
    }
    if (*id == KeyId::Trans && !transfer_key_visible()) return;
    key_click(*id);
}

bool CalcWindow::click_key(KeyId id) noexcept {
    if (!hwnd() || !face_.key(id).Visible) return false;
    key_click(id);
    return true;
}

bool CalcWindow::shortcut(WPARAM vk) noexcept {
    if (!hwnd() || GetKeyState(VK_MENU) < 0) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const auto code = static_cast<std::uint16_t>(vk > 0xFFFF ? 0 : vk);
    if (!ctrl && !shift && correction_shortcut(vk)) return true;
    if (const std::optional<Command> command = command_for_chord({code, ctrl, shift})) {
        run_command(*command);
        return true;
    }
    if (!shift && tapeWindow_.scroll_key(vk, ctrl)) return true;
    if (shift) return false;
    const std::optional<KeyId> id = key_for_chord({code, ctrl});
    if (!id || (*id == KeyId::Trans && !transfer_key_visible())) return false;
    key_click(*id);
    return true;
}

void CalcWindow::mouse_down(POINT p) noexcept {
    // While one key holds the mouse, every button goes to it.
    const std::optional<KeyId> id = pressed_ ? pressed_ : face_.key_at(p);
    if (!id) {
        if (face_.rate_mark().press(p)) switch_tax_rate();
        return;
    }
    if (!pressed_) {
        pressed_ = id;
        clickSpent_ = false;
        SetCapture(hwnd());
    }
    key_down(*id);
}

void CalcWindow::mouse_double_click(POINT p) noexcept {
    const std::optional<KeyId> id = pressed_ ? pressed_ : face_.key_at(p);
    if (!id) return;
    if (!pressed_) {
        pressed_ = id;
        SetCapture(hwnd());
    }
    clickSpent_ = true;
    key_double_click(*id);
}

void CalcWindow::mouse_up(int button, WPARAM keys, POINT p) noexcept {
    if (!pressed_) {
        // The right button on the readout or the body, off every key: the context menu.
        const bool mark = face_.rate_mark().release();
        if (button == kRightButton && !mark && !(keys & MK_CONTROL) && !face_.key_at(p)) {
            ClientToScreen(hwnd(), &p);
            show_command_menu(hwnd(), p, *this);
        }
        return;
    }
    const KeyId id = *pressed_;
    // A click is the left button let go over the key it went down on.
    const bool click = button == kLeftButton && !clickSpent_ && face_.key(id).contains(p);
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        pressed_.reset();  // before ReleaseCapture, whose notice would otherwise release it again
        clickSpent_ = false;
        if (GetCapture() == hwnd()) ReleaseCapture();
    }
    HWND window = hwnd();
    key_up(id, button, shift_state(keys));
    // The version box pumps messages; the window may be gone when it closes.
    if (click && hwnd() == window && IsWindow(window)) key_click(id);
}

void CalcWindow::capture_lost() noexcept {
    // Another window took the mouse: the button-up will never come, so the key is let go now.
    if (!pressed_) return;
    const KeyId id = *pressed_;
    pressed_.reset();
    clickSpent_ = false;
    key_up(id, 0, 0);
}

void CalcWindow::show_pressed(KeyId id, const Picture& picture) noexcept {
    Control& k = face_.control_of(id);
    const RECT before = k.rect();
    k.set_picture(picture);
    notify(EVENT_OBJECT_STATECHANGE, static_cast<long>(id) + 1);
    invalidate(before);
    invalidate(k.rect());
}

void CalcWindow::key_down(KeyId id) noexcept {
    show_pressed(id, face_.pressed_picture(id));
}

void CalcWindow::key_up(KeyId id, int button, int shift) noexcept {
    const KeyRow& entry = key_spec(id);
    if (entry.role == KeyRole::Trans) {
        show_pressed(id, face_.transfer_rest_picture());
        return;
    }
    Control& k = face_.control_of(id);
    k.set_picture({});
    invalidate(k.rect());
    notify(EVENT_OBJECT_STATECHANGE, static_cast<long>(id) + 1);
    const bool isOperator = entry.role == KeyRole::Calc && entry.engine.group == KeyGroup::Operator;
    if (isOperator && button == kRightButton && (shift & kCtrlKey)) {
        const TapeAside aside(tapeWindow_);
        show_version_box(hwnd(), face_.resources());
    }
}

void CalcWindow::key_double_click(KeyId id) noexcept {
    const KeyRow& entry = key_spec(id);
    if (!entry.repeatsOnDoubleClick) return;
    show_pressed(id, face_.pressed_picture(id));
    // A double-click enters its digits once more.
    if (correction_) {
        correction_key(id);
    } else {
        calculation_.press(entry.engine);
    }
}

void CalcWindow::key_click(KeyId id) noexcept {
    if (correction_) {
        correction_key(id);
        return;
    }
    const KeyRow& entry = key_spec(id);
    switch (entry.role) {
        case KeyRole::Calc:
            calculation_.press(entry.engine);
            break;
        case KeyRole::Off:
            PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            break;
        case KeyRole::Trans:
            transfer_click();
            break;
    }
}

// A refusal over the limit is explained; the calculation has beeped for it. A transfer made
// closes the window when the calculation tells its views.
void CalcWindow::transfer_click() noexcept {
    if (calculation_.transfer() != Calculation::Transfer::OverLimit || !host_) return;
    try {
        const ReadoutText limit = general_text(calculation_.limit());
        std::wstring text = L"数値が大き過ぎます。\r\n";
        text.append(limit.view().begin(), limit.view().end()).append(L"までにしてください。");
        const TapeAside aside(tapeWindow_);
        host_->message_box(hwnd(), text, MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        // No memory for the message: the beep has said it.
    }
}

// At `screen`, or under the readout for the keyboard's request (no point).
void CalcWindow::show_context_menu(std::optional<POINT> screen) noexcept {
    if (!hwnd()) return;
    POINT at = {};
    if (screen) {
        at = *screen;
    } else {
        const RECT readout = face_.Readout().rect();
        at = {readout.left, readout.bottom};
        ClientToScreen(hwnd(), &at);
    }
    show_command_menu(hwnd(), at, *this);
}

bool CalcWindow::command_checked(Command command) const noexcept {
    return command == Command::ShowTape && tapeWindow_.shown();
}

bool CalcWindow::command_enabled(Command command) const noexcept {
    switch (command) {
        case Command::CopyTape:
        case Command::ClearTape:
            return !calculation_.tape().empty();
        case Command::CopyNumber:
            return read_number(calculation_.readout()).has_value();
        case Command::Correct:
            return calculation_.correctable_line(std::nullopt, -1).has_value();
        case Command::UndoCorrection:
            return calculation_.can_undo_correction();
        default:
            return true;
    }
}

void CalcWindow::run_command(Command command) noexcept {
    // A command that works on the calculation first leaves the correction as it was.
    if (command != Command::CopyTape && command != Command::CopyNumber &&
        command != Command::Correct) {
        end_correction(false);
    }
    switch (command) {
        case Command::ShowTape:
            toggle_tape();
            break;
        case Command::CopyTape:
            if (!copy_tape(hwnd(), calculation_.tape())) beep();
            break;
        case Command::CopyNumber:
            if (!copy_readout(hwnd(), calculation_.readout())) beep();
            break;
        case Command::Paste:
            if (const std::optional<double> value = clipboard_number(hwnd())) {
                calculation_.paste(*value);  // beeps by itself beyond the display
            } else {
                beep();
            }
            break;
        case Command::SwitchRate:
            switch_tax_rate();
            break;
        case Command::ClearTape:
            calculation_.clear_tape();
            break;
        case Command::GrandTotal:
            calculation_.press_grand_total();
            break;
        case Command::Correct:
            if (!correction_) start_correction(std::nullopt);
            break;
        case Command::UndoCorrection:
            if (!calculation_.undo_correction()) beep();
            break;
    }
}

}  // namespace z5calc
