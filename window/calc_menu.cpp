#include "calc_window.h"

#include "clipboard_text.h"
#include "tax_rate_text.h"

// The calculator's context menu: the tape, copy and paste, the tax rate, each with its key.
namespace z5calc {
namespace {

struct MenuItem {
    int command;
    const wchar_t* text;  // the name, a tab and the shortcut
};
constexpr MenuItem kItems[] = {
    {CalcWindow::kMenuShowTape, L"テープ表示\tCtrl+H"},
    {CalcWindow::kMenuCopyTape, L"テープをコピー\tCtrl+Shift+C"},
    {CalcWindow::kMenuCopyNumber, L"数値をコピー\tCtrl+C"},
    {CalcWindow::kMenuPaste, L"貼り付け\tCtrl+V"},
    {CalcWindow::kMenuSwitchRate, L"税率切替\tF8"},
    {CalcWindow::kMenuClearTape, L"テープを消去"},
};

}  // namespace

UniqueHmenu CalcWindow::make_context_menu() const noexcept {
    UniqueHmenu menu(CreatePopupMenu());
    if (!menu) return menu;
    const bool tape = !calculation_.tape().empty();
    for (const MenuItem& item : kItems) {
        UINT flags = MF_STRING;
        if (item.command == kMenuShowTape && tapeWindow_.shown()) flags |= MF_CHECKED;
        if ((item.command == kMenuCopyTape || item.command == kMenuClearTape) && !tape)
            flags |= MF_GRAYED;
        if (item.command == kMenuCopyNumber && !copied_text(calculation_.readout()))
            flags |= MF_GRAYED;
        AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(item.command), item.text);
        if (item.command == kMenuPaste || item.command == kMenuSwitchRate)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    }
    return menu;
}

void CalcWindow::context_command(int command) noexcept {
    switch (command) {
        case kMenuShowTape:
            toggle_tape();
            break;
        case kMenuCopyTape:
            copy_tape();
            break;
        case kMenuCopyNumber:
            copy_readout();
            break;
        case kMenuPaste:
            paste_number();
            break;
        case kMenuSwitchRate:
            switch_tax_rate();
            break;
        case kMenuClearTape:
            calculation_.clear_tape();
            break;
        default:
            break;
    }
}

// At `screen`, or under the readout for the keyboard's request (no point).
void CalcWindow::show_context_menu(std::optional<POINT> screen) noexcept {
    if (!hwnd()) return;
    POINT at = {};
    if (screen) {
        at = *screen;
    } else {
        const RECT readout = readout_.rect();
        at = {readout.left, readout.bottom};
        ClientToScreen(hwnd(), &at);
    }
    UniqueHmenu menu = make_context_menu();
    if (!menu) return;
    const HWND window = hwnd();
    const int command = static_cast<int>(TrackPopupMenuEx(
        menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, window, nullptr));
    if (command && hwnd() == window) context_command(command);
}

}  // namespace z5calc
