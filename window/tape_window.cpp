#include "tape_window.h"

#include <windowsx.h>

#include <algorithm>
#include <new>
#include <string>

#include "app_messages.h"
#include "dpi_scale.h"
#include "japanese_font.h"
#include "tape_place.h"
#include "tape_line_text.h"

namespace z5calc {
namespace {

constexpr COLORREF kPaper = RGB(0xF6, 0xFA, 0xF0);  // the display's pale green paper
constexpr COLORREF kEdge = RGB(0x2E, 0x7D, 0x32);
constexpr COLORREF kKeyInk = RGB(0x2E, 0x5E, 0x30);

PlaceRect place_rect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

bool TapeWindow::show(HWND owner, Calculation& calculation, const FieldRects& field,
                      HFONT numberFont, int dpi, bool contrast) noexcept {
    // The fonts of an earlier showing serve again unless the look changed since.
    const bool newLook = !keyFont_ || dpi != dpi_ || contrast != contrast_;
    owner_ = owner;
    stop_following();
    tape_ = &calculation.tape();
    field_ = field;
    dpi_ = dpi;
    contrast_ = contrast;
    if (hwnd() && GetWindow(hwnd(), GW_OWNER) != owner) destroy();
    if (!hwnd() && !create_window(L"z5calc.Tape", 0, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                  WS_POPUP | WS_BORDER, L"", 0, 0, 1, 1, owner)) {
        return false;
    }
    if (newLook) make_fonts(numberFont);
    first_ = 0;
    follow();                                   // sized first: the lines in view depend on it
    scroll(static_cast<int>(Tape::kCapacity));  // the newest in view
    // While hidden the tape hears nothing; shown again, it starts from the newest line.
    if (calculation.attach(*this)) calculation_ = &calculation;
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    return true;
}

void TapeWindow::hide() noexcept {
    stop_following();
    if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

void TapeWindow::destroy() noexcept {
    stop_following();
    if (hwnd()) DestroyWindow(hwnd());
}

void TapeWindow::stop_following() noexcept {
    if (calculation_) calculation_->detach(*this);
    calculation_ = nullptr;
}

bool TapeWindow::shown() const noexcept {
    return hwnd() && IsWindowVisible(hwnd());
}

void TapeWindow::make_fonts(HFONT numberFont) noexcept {
    LOGFONTW lf = {};
    if (!numberFont || !GetObjectW(numberFont, sizeof lf, &lf)) {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    }
    lf.lfHeight = -scaled(14, dpi_);
    lf.lfWidth = 0;
    if (contrast_) lf.lfQuality = NONANTIALIASED_QUALITY;
    numberFont_.reset(CreateFontIndirectW(&lf));
    keyFont_.reset(create_japanese_font(scaled(13, dpi_), FW_BOLD,
                                        contrast_ ? NONANTIALIASED_QUALITY : CLEARTYPE_QUALITY));
}

void TapeWindow::set_look(HFONT numberFont, int dpi, bool contrast) noexcept {
    dpi_ = dpi;
    contrast_ = contrast;
    make_fonts(numberFont);
    follow();
    if (hwnd()) InvalidateRect(hwnd(), nullptr, TRUE);
}

void TapeWindow::follow() noexcept {
    if (!hwnd() || !owner_) return;
    RECT calc = {};
    GetWindowRect(owner_, &calc);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    const PlaceRect r = place_tape(place_rect(calc), scaled(kWidth, dpi_), scaled(kHeight, dpi_),
                                   field_, place_rect(monitor.rcWork), scaled(4, dpi_));
    SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int TapeWindow::line_height() const noexcept {
    return scaled(20, dpi_);
}

int TapeWindow::page() const noexcept {
    RECT client = {};
    if (hwnd()) GetClientRect(hwnd(), &client);
    return std::max(1, static_cast<int>(client.bottom - scaled(8, dpi_)) / line_height());
}

bool TapeWindow::line_rect(std::size_t i, RECT& r) const noexcept {
    RECT client = {};
    if (!hwnd() || i < first_ || i >= line_count() || !GetClientRect(hwnd(), &client)) return false;
    const int margin = scaled(6, dpi_), height = line_height();
    const int top = scaled(4, dpi_) + static_cast<int>(i - first_) * height;
    r = {margin, top, client.right - margin, top + height};
    return r.bottom <= client.bottom;
}

void TapeWindow::newest_in_view() noexcept {
    const std::size_t count = line_count(), inView = static_cast<std::size_t>(page());
    first_ = count > inView ? count - inView : 0;
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void TapeWindow::tape_cleared() noexcept {
    if (!hwnd()) return;
    newest_in_view();
    NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd(), OBJID_CLIENT, CHILDID_SELF);
}

void TapeWindow::tape_rewritten(const Tape& tape) noexcept {
    if (!hwnd()) return;
    InvalidateRect(hwnd(), nullptr, TRUE);
    for (std::size_t id = 1; id <= tape.size(); ++id)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_CLIENT, static_cast<LONG>(id));
}

TapeLine TapeWindow::line(std::size_t i) const noexcept {
    TapeLine shown = (*tape_)[i];
    if (hasTyped_ && marked_ == tape_->number_of(i)) shown.number = typed_;
    return shown;
}

std::optional<std::size_t> TapeWindow::marked_line() const noexcept {
    if (!tape_ || !marked_ || !tape_->line_numbered(*marked_)) return std::nullopt;
    return static_cast<std::size_t>(*marked_ - tape_->number_of(0));
}

void TapeWindow::mark_line(std::optional<std::uint64_t> line, const ReadoutText* typed) noexcept {
    const bool moved = line != marked_;
    const std::optional<std::size_t> before = marked_line();
    marked_ = line;
    hasTyped_ = typed != nullptr;
    if (typed) typed_ = *typed;
    if (!hwnd()) return;
    const std::optional<std::size_t> index = marked_line();
    const auto inView = static_cast<std::size_t>(page());
    // Out of view, it comes in at the bottom, the lines before it above.
    if (index && (*index < first_ || *index >= first_ + inView))
        first_ = *index + 1 >= inView ? *index + 1 - inView : 0;
    InvalidateRect(hwnd(), nullptr, TRUE);
    if (!index) {
        // The correction ended: its line is no longer selected.
        if (before) {
            NotifyWinEvent(EVENT_OBJECT_SELECTIONREMOVE, hwnd(), OBJID_CLIENT,
                           static_cast<LONG>(*before + 1));
        }
        return;
    }
    const auto child = static_cast<LONG>(*index + 1);
    NotifyWinEvent(moved ? EVENT_OBJECT_SELECTION : EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_CLIENT,
                   child);
}

void TapeWindow::line_clicked(POINT p) noexcept {
    RECT row;
    for (std::size_t i = first_; line_rect(i, row); ++i) {
        if (PtInRect(&row, p)) {
            SendMessageW(owner_, kTapeLineClicked, i, 0);
            return;
        }
    }
}

void TapeWindow::tape_lines_added(const Tape& tape, std::size_t added,
                                  std::size_t dropped) noexcept {
    if (!hwnd()) return;
    newest_in_view();
    const std::size_t count = tape.size();
    // The ring drops its oldest lines first: each takes child 1 with it and the rest move up.
    for (std::size_t gone = dropped; gone > 0; --gone) {
        NotifyWinEvent(EVENT_OBJECT_DESTROY, hwnd(), OBJID_CLIENT, 1);
    }
    for (std::size_t id = count - added + 1; id <= count; ++id) {
        NotifyWinEvent(EVENT_OBJECT_CREATE, hwnd(), OBJID_CLIENT, static_cast<LONG>(id));
    }
}

void TapeWindow::scroll(int lines) noexcept {
    if (!hwnd() || !tape_) return;
    const long long count = static_cast<long long>(tape_->size());
    const long long last = std::max(0LL, count - page());
    const long long to = std::clamp(static_cast<long long>(first_) + lines, 0LL, last);
    if (static_cast<std::size_t>(to) == first_) return;
    first_ = static_cast<std::size_t>(to);
    InvalidateRect(hwnd(), nullptr, TRUE);
}

// Page Up and Page Down scroll the tape a page, Ctrl+Up and Ctrl+Down a line, Ctrl+Home and
// Ctrl+End to its first and newest line.
bool TapeWindow::scroll_key(WPARAM vk, bool ctrl) noexcept {
    if (!shown()) return false;
    const int page = this->page(), all = static_cast<int>(Tape::kCapacity);
    switch (vk) {
        case VK_PRIOR:
            scroll(-page);
            return true;
        case VK_NEXT:
            scroll(page);
            return true;
        case VK_UP:
        case VK_DOWN:
        case VK_HOME:
        case VK_END:
            if (!ctrl) return false;
            scroll(vk == VK_UP ? -1 : vk == VK_DOWN ? 1 : vk == VK_HOME ? -all : all);
            return true;
        default:
            return false;
    }
}

void TapeWindow::paint(HDC dc) noexcept {
    RECT client = {};
    GetClientRect(hwnd(), &client);
    const COLORREF paper = contrast_ ? GetSysColor(COLOR_WINDOW) : kPaper;
    const COLORREF ink = contrast_ ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0);
    const COLORREF keyInk = contrast_ ? ink : kKeyInk;
    SetDCBrushColor(dc, paper);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, contrast_ ? ink : kEdge);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    if (!tape_) return;
    SetBkMode(dc, TRANSPARENT);
    const std::optional<std::size_t> marked = marked_line();
    RECT row;
    for (std::size_t i = first_; line_rect(i, row); ++i) {
        const TapeLine shown = line(i);
        const bool selected = marked == i;
        if (selected) {
            // The selection in the system's colours, as a list shows it.
            RECT band = {client.left + 1, row.top, client.right - 1, row.bottom};
            FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        const COLORREF selectedInk = GetSysColor(COLOR_HIGHLIGHTTEXT);
        SelectObject(dc, keyFont_.get());
        SetTextColor(dc, selected ? selectedInk : keyInk);
        try {
            const std::wstring key = tape_key_text(shown);
            DrawTextW(dc, key.c_str(), static_cast<int>(key.size()), &row,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        } catch (...) {
            // No memory for a word: the number alone.
        }
        if (shown.corrected) {
            DrawTextW(dc, kCorrectedMark.data(), static_cast<int>(kCorrectedMark.size()), &row,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        wchar_t digits[ReadoutText::kCapacity];
        const std::string_view number = shown.number.view();
        const int length = static_cast<int>(std::min(number.size(), std::size(digits)));
        std::copy_n(number.begin(), length, digits);
        SelectObject(dc, numberFont_.get());
        SetTextColor(dc, selected ? selectedInk : ink);
        DrawTextW(dc, digits, length, &row, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

LRESULT TapeWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_PAINT:
        case WM_PRINTCLIENT:
            return paint_message(message, wParam, [this](HDC dc) { paint(dc); });
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;  // the calculator keeps the keyboard
        case WM_LBUTTONDOWN:
            line_clicked({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_CONTEXTMENU:
            // A popup's right click reaches no one else: the calculator's menu, at the pointer.
            if (HWND owner = GetWindow(hwnd(), GW_OWNER))
                return SendMessageW(owner, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd()),
                                    lParam);
            break;
        case WM_MOUSEWHEEL: {
            wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam);
            const int notches = wheelRest_ / WHEEL_DELTA;
            wheelRest_ -= notches * WHEEL_DELTA;
            scroll(-3 * notches);
            return 0;
        }
        case WM_GETOBJECT:
            if (LRESULT result = 0; accessible_.answer(wParam, lParam, result)) return result;
            break;
        case WM_DESTROY:
            stop_following();
            accessible_.disconnect();
            break;
        case WM_NCDESTROY:
            wheelRest_ = 0;
            break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace z5calc
