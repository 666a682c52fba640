#include "calc_window.h"

#include <algorithm>
#include <utility>

#include "app_messages.h"
#include "ime32.h"
#include "modal.h"

namespace z5calc {

// The pending events may have closed or hidden the window (Esc typed at once): a hidden
// window taking the foreground would take the activation from the host it went back to.
bool CalcWindow::still_shown() const noexcept {
    return hwnd() && IsWindowVisible(hwnd());
}

void CalcWindow::on_activate(WPARAM state) noexcept {
    // Plain activation brings the modal calculator forward with the focus; click activation
    // and a minimized window's are left alone.
    if (state == WA_ACTIVE && shown_modally()) {
        SetFocus(hwnd());
        SetForegroundWindow(hwnd());
    }
    if (LOWORD(state) != WA_INACTIVE) PostMessageW(hwnd(), kActivatedMessage, 0, 0);
}

void CalcWindow::activated() noexcept {
    if (!hwnd()) return;
    if (IsIconic(hwnd()) || IsZoomed(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
    if (firstActivate) {
        firstActivate = false;
        process_pending_messages();
        if (!still_shown()) return;
        SetForegroundWindow(hwnd());
    }
    SetImeOpen(hwnd(), false);
    if (shown_modally()) {
        process_pending_messages();
        if (!still_shown()) return;
        SetForegroundWindow(hwnd());
    }
}

LRESULT CalcWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const POINT at = {static_cast<std::int16_t>(LOWORD(lParam)),
                      static_cast<std::int16_t>(HIWORD(lParam))};
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        // Made when the mouse first comes, not at every opening of the calculator.
        if (message == WM_MOUSEMOVE && !tooltips_.window() &&
            tooltips_.create(hwnd(), face_.dpi())) {
            tooltips_.place(face_.key_rects());
            show_tax_rate();
        }
        tooltips_.relay(message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            const LRESULT result = paint_message(message, wParam, [this](HDC dc) {
                face_.paint(dc, hwnd(), calculation_.readout(), pressed_);
            });
            if (message == WM_PAINT && std::exchange(tapeDue_, false) && still_shown()) {
                show_tape();
            }
            return result;
        }
        case WM_ERASEBKGND:
            return 1;  // the skin covers the whole client area
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDBLCLK:  // only the left button has a double-click event
        case WM_MBUTTONDBLCLK:
            mouse_down(at);
            return 0;
        case WM_LBUTTONDBLCLK:
            mouse_double_click(at);
            return 0;
        case WM_LBUTTONUP:
            mouse_up(kLeftButton, wParam, at);
            return 0;
        case WM_RBUTTONUP:
            mouse_up(kRightButton, wParam, at);
            return 0;
        case WM_MBUTTONUP:
            mouse_up(kMiddleButton, wParam, at);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd()) capture_lost();
            return 0;
        case WM_CLOSE:
            close_request();
            return 0;
        case WM_CHAR:
            key_press(static_cast<wchar_t>(wParam));
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_F1) {
                open_help(helpFile.c_str(), helpContextID);
                return 0;
            }
            if (shortcut(wParam)) return 0;
            break;
        case WM_HELP:
            open_help(helpFile.c_str(), helpContextID);
            return TRUE;
        case WM_ACTIVATE:
            on_activate(wParam);
            break;
        case kActivatedMessage:
            activated();
            return 0;
        case kTapeLineClicked:
            tape_line_clicked(wParam);
            return 0;
        case WM_DPICHANGED:
            // Anyone may send it: a missing rectangle keeps the window where it is.
            if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
                dpi_changed(LOWORD(wParam), *suggested);
            } else if (RECT now = {}; GetWindowRect(hwnd(), &now)) {
                dpi_changed(LOWORD(wParam), now);
            }
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_THEMECHANGED:
            contrast_changed();
            break;
        case WM_NCRBUTTONDOWN:
            if (wParam == HTCAPTION) return 0;
            break;
        case WM_NCRBUTTONUP:
            // The readout and the body answer the hit test as a caption (they drag the window):
            // their right click comes here, at a screen point.
            if (wParam == HTCAPTION) {
                show_context_menu(at);
                return 0;
            }
            break;
        case WM_CONTEXTMENU: {
            // Shift+F10 and the Menu key give no point (-1, -1); a right click on the body's
            // drag area gives its screen point.
            if (lParam == static_cast<LPARAM>(-1) || static_cast<DWORD>(lParam) == 0xFFFFFFFF) {
                show_context_menu(std::nullopt);
            } else {
                show_context_menu(at);
            }
            return 0;
        }
        case WM_WINDOWPOSCHANGED:
            tape_follows(*reinterpret_cast<const WINDOWPOS*>(lParam));
            break;
        case WM_GETOBJECT:
            if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) accessible();
            if (LRESULT result = 0; accessible_.answer(wParam, lParam, result)) return result;
            break;
        case WM_DESTROY:
            tapeWindow_.destroy();
            if (liveRegion_) {
                clear_live_region(hwnd());
                liveRegion_ = false;
            }
            accessible_.disconnect();
            // The hook's properties must be gone before the window is.
            UnSubClassWindow(hwnd());
            pressed_.reset();
            tooltips_.forget();  // an owned window, destroyed with this one
            return 0;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

LRESULT CalcWindow::mCallBackWindow(HWND hw, UINT uMsg, WPARAM, LPARAM lParam) noexcept {
    switch (uMsg) {
        case WM_NCHITTEST: {
            POINT p = {static_cast<std::int16_t>(LOWORD(lParam)),
                       static_cast<std::int16_t>(HIWORD(lParam))};
            ScreenToClient(hw, &p);
            return face_.drags(p) ? HTCAPTION : 0;
        }
    }
    return 0;
}

// The tape goes and comes with the calculator, and moves with it. It comes just after the
// calculator's first paint: the calculator, which the user came for, is not kept waiting for it.
void CalcWindow::tape_follows(const WINDOWPOS& pos) noexcept {
    if (pos.flags & SWP_HIDEWINDOW) {
        tapeDue_ = false;
        tapeWindow_.hide();
    } else if ((pos.flags & SWP_SHOWWINDOW) && tapeWanted_ && !tapeWindow_.shown()) {
        tapeDue_ = true;
    } else if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE)) {
        tapeWindow_.follow();
    }
}

void CalcWindow::lay_out() noexcept {
    face_.lay_out(hwnd());
    tooltips_.place(face_.key_rects());
    tooltips_.scale(face_.dpi());
    // Outer size = outer - client + wanted client. In pixels this is the twips computation
    // divided through by twips per pixel, without its rounding.
    RECT outer = {}, client = {};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    const int width = face_.client_width(), height = face_.client_height();
    if (client.right == width && client.bottom == height) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left - client.right + width,
                 outer.bottom - outer.top - client.bottom + height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CalcWindow::dpi_changed(int dpi, const RECT& suggested) noexcept {
    if (!hwnd()) return;
    if (pressed_) capture_lost();
    face_.rescale(dpi);
    lay_out();
    tapeWindow_.set_look(face_.readout_font(), face_.dpi(), face_.contrast_theme());
    const POINT at = on_screen(suggested);
    SetWindowPos(hwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

// Where the window goes for a suggested rectangle: its corner, moved as little as it takes
// to bring the whole window into the work area of the monitor nearest the suggestion (anyone
// may send a DPI change, with any rectangle).
POINT CalcWindow::on_screen(const RECT& suggested) const noexcept {
    RECT now = {};
    GetWindowRect(hwnd(), &now);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const LONG width = now.right - now.left, height = now.bottom - now.top;
    return {std::max(work.left, std::min(suggested.left, work.right - width)),
            std::max(work.top, std::min(suggested.top, work.bottom - height))};
}

void CalcWindow::contrast_changed() noexcept {
    if (face_.set_contrast(high_contrast_on())) {
        tapeWindow_.set_look(face_.readout_font(), face_.dpi(), face_.contrast_theme());
    }
    if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

IAccessible* CalcWindow::accessible_object() noexcept {
    IAccessible* object = accessible();
    if (object) object->AddRef();
    return object;
}

// A screen reader is asking: only now is the readout worth marking as a live region.
CalcAccessible* CalcWindow::accessible() noexcept {
    if (!hwnd()) return nullptr;
    const bool first = !accessible_.made();
    CalcAccessible* object = accessible_.get();
    if (object && first) liveRegion_ = mark_live_region(hwnd());
    return object;
}

void CalcWindow::toggle_tape() noexcept {
    tapeWanted_ = !tapeWindow_.shown();
    if (!tapeWanted_) {
        end_correction(false);
        tapeWindow_.hide();
    } else if (!show_tape()) {
        tapeWanted_ = false;
        beep();
    }
}

}  // namespace z5calc
