#pragma once

#include <windows.h>

#include "commands.h"
#include "handles.h"

namespace z5calc {

// What the context menu shows and runs its commands on.
class CommandTarget {
  public:
    virtual bool command_checked(Command command) const noexcept = 0;
    virtual bool command_enabled(Command command) const noexcept = 0;
    virtual void run_command(Command command) noexcept = 0;

  protected:
    ~CommandTarget() = default;
};

// The context menu: every command of the table with its shortcut, checked and greyed as the
// target says. Its item ids are the commands'.
UniqueHmenu make_command_menu(const CommandTarget& target) noexcept;

// Shows the menu at a screen point and runs the chosen command, unless `owner` went meanwhile.
void show_command_menu(HWND owner, POINT screen, CommandTarget& target) noexcept;

}  // namespace z5calc
