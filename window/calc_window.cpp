#include "calc_window.h"

#include <algorithm>
#include <cmath>

#include "number_text.h"
#include "rounding_text.h"
#include "tax_rate_text.h"
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

}  // namespace

CalcWindow::~CalcWindow() {
    // Going away with the component: nothing is saved and nobody is told.
    host_ = nullptr;
    unload();
}

bool CalcWindow::load(HMODULE resources, WindowMetrics metrics, CalcWindowHost* host) noexcept {
    if (hwnd()) return true;
    try {
        host_ = host;
        // The screen's DPI until the window exists and can tell its own.
        face_.load(resources, metrics, window_dpi(nullptr));
        calculation_.attach(*this);
        calculation_.show_fresh();
        show_tax_rate();  // changed while no window showed it
        // Created at its final size, so that the layout's sizing step has nothing to move.
        RECT outer = {0, 0, face_.client_width(), face_.client_height()};
        AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
        // The saved place is read now, so that the window is also created there and its move
        // below finds it in place.
        const int width = outer.right - outer.left, height = outer.bottom - outer.top;
        std::optional<TwipsBox> place;
        if (host_) {
            place =
                saved_window_place(host_->settings(), static_cast<float>(width) * metrics.placeX,
                                   static_cast<float>(height) * metrics.placeY, metrics);
        }
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
        if (place) {
            x = static_cast<int>(std::lround(place->left / metrics.placeX));
            y = static_cast<int>(std::lround(place->top / metrics.placeY));
        }
        const auto icon =
            static_cast<HICON>(LoadImageW(resources, L"CALC", IMAGE_ICON, 32, 32, LR_SHARED));
        if (!create_window(kClassName, CS_DBLCLKS, 0, kStyle, kCaption, x, y, width, height,
                           nullptr, icon)) {
            return false;
        }
        if (const int own = window_dpi(hwnd()); own != face_.dpi()) {
            face_.load(resources, metrics, own);
        }
        face_.set_contrast(high_contrast_on());
        lay_out();
        SubClassWindow(hwnd(), this);
        if (place) {
            TwipsBox box = window_twips(hwnd(), metrics.placeX, metrics.placeY);
            box.left = place->left;
            box.top = place->top;
            set_window_twips(hwnd(), box, metrics.placeX, metrics.placeY);
        }
        return true;
    } catch (...) {
        unload();
        return false;
    }
}

void CalcWindow::unload() noexcept {
    if (HWND window = hwnd()) {
        if (host_) {
            save_window_place(host_->settings(), window, face_.metrics());
            host_->talk_close();
        }
        UnSubClassWindow(window);
        DestroyWindow(window);  // its tooltips with it
    }
    correction_.reset();
    tooltips_.forget();
    face_.forget();
    pressed_.reset();
    clickSpent_ = false;
    calculation_.detach(*this);
}

void CalcWindow::switch_tax_rate() noexcept {
    end_correction(false);
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
    const KeyRect r = face_.rate_mark().rect();
    return {{r.left, r.top, r.left + r.width, r.top + r.height}, hwnd() != nullptr};
}

std::wstring CalcWindow::tax_rate_text() const {
    return percent_text(calculation_.tax_rate());
}

void CalcWindow::grand_total_changed(double total) noexcept {
    const bool shown = face_.status_marks().grand_total_shown();
    show_marks();
    if (shown != (total != 0))
        notify(total != 0 ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE,
               CalcAccessible::kGrandTotalChild);
}

void CalcWindow::show_marks() noexcept {
    const ResultRounding before = face_.status_marks().rounding();
    face_.show_marks(calculation_.grand_total() != 0, calculation_.rounding());
    if (!hwnd()) return;
    RECT display = face_.Readout().rect();
    const KeyRect mark = face_.rate_mark().rect();
    display.left = mark.left;
    display.top = std::min<LONG>(display.top, mark.top);
    invalidate(display);
    const StatusMarks& marks = face_.status_marks();
    const KeyRect r = marks.rounding_rect();
    tooltips_.set_mark(
        marks.rounding_shown() ? RECT{r.left, r.top, r.left + r.width, r.top + r.height} : RECT{});
    if (before == marks.rounding()) return;
    try {
        tooltips_.set_mark_text(rounding_text(marks.rounding()));
    } catch (...) {
        // No memory: the tooltip keeps its last text.
    }
    notify(EVENT_OBJECT_VALUECHANGE, CalcAccessible::kRoundingChild);
}

AccessiblePart CalcWindow::mark_part(long child) const noexcept {
    const StatusMarks& marks = face_.status_marks();
    const bool gt = child == CalcAccessible::kGrandTotalChild;
    const KeyRect r = gt ? marks.grand_total_rect() : marks.rounding_rect();
    return {{r.left, r.top, r.left + r.width, r.top + r.height},
            hwnd() && (gt ? marks.grand_total_shown() : marks.rounding_shown())};
}

std::wstring CalcWindow::rounding_value() const {
    return rounding_text(calculation_.rounding());
}

std::wstring CalcWindow::grand_total_value() const {
    const ReadoutText text = general_text(calculation_.grand_total());
    return std::wstring(text.view().begin(), text.view().end());
}

void CalcWindow::show_tax_rate() noexcept {
    face_.rate_mark().show_rate(calculation_.tax_rate_kind(), calculation_.tax_rate());
    show_marks();  // after the rate mark, whose place they take while it is not shown
    if (!hwnd()) return;
    try {
        const std::wstring rate = percent_text(calculation_.tax_rate());
        for (KeyId id : {KeyId::TaxIn, KeyId::TaxOut, KeyId::TaxAmount}) {
            std::wstring text(key_name(id));
            text.append(L" (").append(rate).append(L") (").append(shortcut_text(id)).append(L")");
            tooltips_.set_text(id, text);
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
    Control& trans = face_.control_of(KeyId::Trans);
    const bool changed = trans.Visible != visible;
    trans.Visible = visible;
    invalidate(trans.rect());
    if (changed) {
        notify(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE,
               static_cast<long>(KeyId::Trans) + 1);
    }
    tooltips_.place(face_.key_rects());
}

std::optional<double> CalcWindow::show_modally() noexcept {
    Tag = kModalTag;
    firstActivate = true;
    end_correction(false);  // a call's calculation is not the one a correction was on
    run_modal(hwnd());
    Tag.clear();
    return calculation_.transferred();
}

void CalcWindow::beep() noexcept {
    MessageBeep(MB_OK);
}

void CalcWindow::mem_mark_changed(bool shown) noexcept {
    Control& mark = face_.lblMem();
    if (!hwnd() || mark.Visible == shown) return;
    mark.Visible = shown;
    invalidate(mark.rect());
    notify(shown ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, CalcAccessible::kMemMarkChild);
}

// The transfer is made: the call ends.
void CalcWindow::transferred(double) noexcept {
    if (hwnd()) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void CalcWindow::readout_changed(const CalcState&) noexcept {
    rateJustSwitched_ = false;
    if (!hwnd()) return;
    invalidate(face_.Readout().rect());
    notify(EVENT_OBJECT_NAMECHANGE, CalcAccessible::kReadoutChild);
    notify(EVENT_OBJECT_VALUECHANGE, CalcAccessible::kReadoutChild);
    notify(kEventLiveRegionChanged, CalcAccessible::kReadoutChild);
}

void CalcWindow::notify(DWORD event, long child) const noexcept {
    if (hwnd()) NotifyWinEvent(event, hwnd(), OBJID_CLIENT, child);
}

}  // namespace z5calc
