#pragma once

// A person at the keyboard and the mouse: real input (SendInput), so that TranslateMessage, the
// window manager and the focus take part, and only what a person sees: the windows on the
// screen and what a screen reader reads of them.
#include <windows.h>

#include <string>

namespace z5calc {

// Types `keys` into whatever has the keyboard. Characters are typed with the keys (and Shift)
// that make them on this keyboard; "~" is Enter, "^x" is Ctrl+x ("^C" Ctrl+Shift+C), "{NAME}" is
// the key NAME: ESC, BS, DEL, ENTER, APPS, F1-F12, and "{+NAME}" is Shift+NAME (e.g. {+F10}).
void type_keys(const std::wstring& keys);

// A click of the left or right button at a screen point.
void click_at(POINT screen, bool right = false);

// The foreground window: what a person looks at after something opened.
HWND window_in_front();

// What a screen reader reads of `window`'s client object: the readout (its first static text
// child with a value) and where it stands, and the screen centre of its child named `name`.
struct Readout {
    std::wstring text;
    POINT centre = {};
};
Readout readout_read(HWND window);
bool child_centre(HWND window, const std::wstring& name, POINT& centre);

// The shown top-level window whose accessible object is named `name`, as a screen reader
// finds it; null when there is none.
HWND window_named(const std::wstring& name);

// Whether a popup menu is on the screen, and the screen centre of its item named `name` (the
// text before its shortcut).
bool menu_shown();
bool menu_item_centre(const std::wstring& name, POINT& centre);

}  // namespace z5calc
