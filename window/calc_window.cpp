#include "calc_window.h"

#include <algorithm>
#include <cmath>

#include "app_messages.h"
#include "tax_rate_text.h"
#include "ime32.h"
#include "modal.h"
#include "window_dpi.h"
#include "window_position.h"

namespace z5calc {
namespace {

// A polite announcement of the readout (the system's value; older headers lack the name).
constexpr DWORD kEventLiveRegionChanged = 0x8019;

constexpr wchar_t kClassName[] = L"z5calc.frmCalc";
constexpr wchar_t kCaption[] = L"\u30BC\u30EB\u96FB\u5353";          // ゼル電卓
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed single border
// Posted at activation, so the activation steps run after the system's own handling.

}  // namespace

CalcWindow::~CalcWindow() {
    // Going away with the component: nothing is saved and nobody is told.
    host_ = nullptr;
    unload();
}

bool CalcWindow::load(HMODULE resources, WindowMetrics metrics, CalcWindowHost* host) noexcept {
    if (hwnd()) return true;
    try {
        resources_ = resources;
        host_ = host;
        metrics_ = metrics;
        // The screen's DPI until the window exists and can tell its own.
        take_scale(window_dpi(nullptr));
        create_controls();
        calculation_.attach(*this);
        calculation_.show_fresh();
        show_tax_rate();  // changed while no window showed it
        // Created at its final size, so that the layout's sizing step has nothing to move.
        RECT outer = {0, 0, client_width(), client_height()};
        AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
        // The saved place is read now, so that the window is also created there and its move
        // below finds it in place.
        const int width = outer.right - outer.left, height = outer.bottom - outer.top;
        std::optional<TwipsBox> place;
        if (host_) {
            place =
                saved_window_place(host_->settings(), static_cast<float>(width) * metrics_.placeX,
                                   static_cast<float>(height) * metrics_.placeY, metrics_);
        }
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
        if (place) {
            x = static_cast<int>(std::lround(place->left / metrics_.placeX));
            y = static_cast<int>(std::lround(place->top / metrics_.placeY));
        }
        const auto icon =
            static_cast<HICON>(LoadImageW(resources, L"CALC", IMAGE_ICON, 32, 32, LR_SHARED));
        if (!create_window(kClassName, CS_DBLCLKS, 0, kStyle, kCaption, x, y, width, height,
                           nullptr, icon)) {
            return false;
        }
        if (const int own = window_dpi(hwnd()); own != dpi_) {
            take_scale(own);
            create_controls();
        }
        contrast_ = high_contrast_on();
        measure_character();
        arrange_keys();
        apply_region();
        SubClassWindow(hwnd(), this);
        if (place) {
            TwipsBox box = window_twips(hwnd(), metrics_.placeX, metrics_.placeY);
            box.left = place->left;
            box.top = place->top;
            set_window_twips(hwnd(), box, metrics_.placeX, metrics_.placeY);
        }
        picWkPixels_.copy_from(skin_);
        return true;
    } catch (...) {
        unload();
        return false;
    }
}

void CalcWindow::unload() noexcept {
    if (HWND window = hwnd()) {
        if (host_) {
            save_window_place(host_->settings(), window, metrics_);
            host_->talk_close();
        }
        UnSubClassWindow(window);
        DestroyWindow(window);  // its tooltips with it
    }
    tooltips_.forget();
    picWkPixels_.clear();
    for (Control& k : keys_) k.picture = {};
    readoutFont_.reset();
    fitFont_.reset();
    fitHeight_ = 0;
    rateMark_.forget_font();
    memFont_.reset();
    labelFont_.reset();
    smallLabelFont_.reset();
    pressed_.reset();
    clickSpent_ = false;
    calculation_.detach(*this);
}

void CalcWindow::switch_tax_rate() noexcept {
    calculation_.switch_tax_rate();
}

// Switched on a shown calculator, the rate is announced: the readout's name, which its live
// region speaks, names it first until the readout next changes.
void CalcWindow::rate_changed(TaxRateKind, double) noexcept {
    show_tax_rate();
    if (!hwnd() || !IsWindowVisible(hwnd())) return;
    notify(EVENT_OBJECT_VALUECHANGE, CalcAccessible::kRateSwitchChild);
    rateJustSwitched_ = true;
    notify(EVENT_OBJECT_NAMECHANGE, CalcAccessible::kReadoutChild);
    notify(kEventLiveRegionChanged, CalcAccessible::kReadoutChild);
}

AccessiblePart CalcWindow::rate_switch_part() const noexcept {
    const KeyRect r = rateMark_.rect();
    return {{r.left, r.top, r.left + r.width, r.top + r.height}, hwnd() != nullptr};
}

std::wstring CalcWindow::tax_rate_text() const {
    return percent_text(calculation_.tax_rate());
}

void CalcWindow::show_tax_rate() noexcept {
    rateMark_.show_rate(calculation_.tax_rate_kind(), calculation_.tax_rate());
    if (!hwnd()) return;
    RECT display = readout_.rect();
    const KeyRect mark = rateMark_.rect();
    display.left = mark.left;
    display.top = std::min<LONG>(display.top, mark.top);
    invalidate(display);
    try {
        for (KeyId id : {KeyId::TaxIn, KeyId::TaxOut, KeyId::TaxAmount}) {
            tooltips_.set_text(id, std::wstring(key_name(id)) + L" (" +
                                       percent_text(calculation_.tax_rate()) + L") (" +
                                       shortcut_text(id) + L")");
        }
    } catch (...) {
        // No memory: the tooltips keep their last texts.
    }
}

void CalcWindow::close_request() noexcept {
    if (!hwnd()) return;
    if (shown_modally()) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    unload();
}

void CalcWindow::show_transfer_key(bool visible) noexcept {
    if (!hwnd()) return;
    Control& trans = control_of(KeyId::Trans);
    const bool changed = trans.Visible != visible;
    trans.Visible = visible;
    invalidate(trans.rect());
    if (changed) {
        notify(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE,
               static_cast<long>(KeyId::Trans) + 1);
    }
    tooltips_.place(key_rects());
}

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
        if (message == WM_MOUSEMOVE && !tooltips_.window() && tooltips_.create(hwnd(), dpi_)) {
            tooltips_.place(key_rects());
            show_tax_rate();
        }
        tooltips_.relay(message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return paint_message(message, wParam, [this](HDC dc) { paint(dc); });
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

std::optional<double> CalcWindow::show_modally() noexcept {
    Tag = kModalTag;
    firstActivate = true;
    run_modal(hwnd());
    Tag.clear();
    return calculation_.transferred();
}

LRESULT CalcWindow::mCallBackWindow(HWND hw, UINT uMsg, WPARAM, LPARAM lParam) noexcept {
    switch (uMsg) {
        case WM_NCHITTEST: {
            POINT p = {static_cast<std::int16_t>(LOWORD(lParam)),
                       static_cast<std::int16_t>(HIWORD(lParam))};
            ScreenToClient(hw, &p);
            // In a contrast theme the keys are drawn whole: only the hit test of the keys counts.
            if (!contrast_ && picWk_color(p.x, p.y) == kDragColor) return HTCAPTION;
            return hit_test_control(p) ? 0 : HTCAPTION;
        }
    }
    return 0;
}

void CalcWindow::beep() noexcept {
    MessageBeep(MB_OK);
}

void CalcWindow::mem_mark_changed(bool shown) noexcept {
    if (!hwnd() || lblMem_.Visible == shown) return;
    lblMem_.Visible = shown;
    invalidate(lblMem_.rect());
    notify(shown ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, CalcAccessible::kMemMarkChild);
}

// The transfer is made: the call ends.
void CalcWindow::transferred(double) noexcept {
    if (hwnd()) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CalcWindow::readout_changed(const CalcState&) noexcept {
    rateJustSwitched_ = false;
    if (!hwnd()) return;
    invalidate(readout_.rect());
    notify(EVENT_OBJECT_NAMECHANGE, CalcAccessible::kReadoutChild);
    notify(EVENT_OBJECT_VALUECHANGE, CalcAccessible::kReadoutChild);
    notify(kEventLiveRegionChanged, CalcAccessible::kReadoutChild);
}

void CalcWindow::notify(DWORD event, long child) const noexcept {
    if (hwnd()) NotifyWinEvent(event, hwnd(), OBJID_CLIENT, child);
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

bool CalcWindow::click_key(KeyId id) noexcept {
    if (!hwnd() || !key(id).Visible) return false;
    key_click(id);
    return true;
}

void CalcWindow::toggle_tape() noexcept {
    tapeWanted_ = !tapeWindow_.shown();
    if (!tapeWanted_) {
        tapeWindow_.hide();
    } else if (!tapeWindow_.show(hwnd(), calculation_, field_, readoutFont_.get(), dpi_,
                                 contrast_)) {
        tapeWanted_ = false;
        beep();
    }
}

// The tape goes and comes with the calculator, and moves with it.
void CalcWindow::tape_follows(const WINDOWPOS& pos) noexcept {
    if (pos.flags & SWP_HIDEWINDOW) {
        tapeWindow_.hide();
    } else if ((pos.flags & SWP_SHOWWINDOW) && tapeWanted_ && !tapeWindow_.shown()) {
        tapeWindow_.show(hwnd(), calculation_, field_, readoutFont_.get(), dpi_, contrast_);
    } else if (!(pos.flags & SWP_NOMOVE) || !(pos.flags & SWP_NOSIZE)) {
        tapeWindow_.follow();
    }
}

}  // namespace z5calc
