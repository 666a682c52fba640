#pragma once

#include <windows.h>

#include "key_table.h"
#include "picture.h"

namespace z5calc {

// A control of the calculator window. None has a window of its own: the window draws them and
// routes the mouse to them. A key takes its picture's size when given one and keeps its size
// when the picture is cleared; it receives the mouse over its whole rectangle.
struct Control {
    bool Visible = true;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    Picture picture;

    bool contains(POINT p) const noexcept {
        return p.x >= Left && p.x < Left + Width && p.y >= Top && p.y < Top + Height;
    }
    RECT rect() const noexcept { return {Left, Top, Left + Width, Top + Height}; }
    void place(const KeyRect& r) noexcept {
        Left = r.left;
        Top = r.top;
        Width = r.width;
        Height = r.height;
    }
    void set_picture(const Picture& p) noexcept {
        picture = p;
        if (p) {
            Width = p.width();
            Height = p.height();
        }
    }
};

// A mouse button and the shift keys held with it, numbered as the form's mouse events number
// them; none is 0.
inline constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
inline constexpr int kShiftKey = 1, kCtrlKey = 2, kAltKey = 4;

}  // namespace z5calc
