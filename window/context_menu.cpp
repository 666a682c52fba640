#include "context_menu.h"

#include <cstddef>

namespace z5calc {

UniqueHmenu make_command_menu(const CommandTarget& target) noexcept {
    UniqueHmenu menu(CreatePopupMenu());
    if (!menu) return menu;
    for (const CommandRow& row : kCommands) {
        UINT flags = MF_STRING;
        if (target.command_checked(row.command)) flags |= MF_CHECKED;
        if (!target.command_enabled(row.command)) flags |= MF_GRAYED;
        // The name, a tab and the shortcut: the table's texts fit with room to spare.
        wchar_t text[64] = {};
        std::size_t at = row.name.copy(text, 40);
        if (!row.shortcut.empty()) {
            text[at++] = L'\t';
            row.shortcut.copy(text + at, 20);
        }
        AppendMenuW(menu.get(), flags, static_cast<UINT_PTR>(row.command), text);
        if (row.separatorAfter) AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    }
    return menu;
}

void show_command_menu(HWND owner, POINT screen, CommandTarget& target) noexcept {
    UniqueHmenu menu = make_command_menu(target);
    if (!menu) return;
    const auto chosen = static_cast<int>(
        TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x,
                         screen.y, owner, nullptr));
    if (chosen > 0 && chosen <= static_cast<int>(kCommands.size()) && IsWindow(owner))
        target.run_command(static_cast<Command>(chosen));
}

}  // namespace z5calc
