#include "invoice_form.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "japanese_font.h"

namespace z5demo {
namespace {

InvoiceForm* theForm = nullptr;  // the demo has one form; its window procedures reach it here
WNDPROC editProc = nullptr;

constexpr int kLineTop = 70, kLineStep = 28, kRowHeight = 24;
struct ColumnPlace {
    int left, width;
};
constexpr ColumnPlace kColumns[] = {{12, 150}, {168, 90}, {264, 52}, {322, 66}, {394, 100}};
constexpr int kFormWidth = 506;
constexpr int kTotalsTop = kLineTop + kLineCount * kLineStep + 10, kTotalStep = 22;

// 品名 単価 数量 税率 金額; the rates as the combo box offers them, 8%※ marking the reduced one.
const wchar_t* const kHeadings[] = {L"\u54C1\u540D", L"\u5358\u4FA1", L"\u6570\u91CF",
                                    L"\u7A0E\u7387", L"\u91D1\u984D"};
const wchar_t* const kRateItems[] = {L"10%", L"8%\u203B"};

struct SampleLine {
    const wchar_t* name;
    const wchar_t* price;
    const wchar_t* quantity;
    Rate rate;
};
// The first two lines are the ones the unattended run fills through the calculator.
constexpr SampleLine kSample[kLineCount] = {
    {L"\u30B3\u30D4\u30FC\u7528\u7D19 A4", L"0", L"0", Rate::Standard},
    {L"\u7DD1\u8336 500ml", L"0", L"0", Rate::Reduced},
    {L"\u30DC\u30FC\u30EB\u30DA\u30F3", L"120", L"5", Rate::Standard},
    {L"\u725B\u4E73 1L", L"220", L"2", Rate::Reduced},
};

int scaled(int v, int dpi) {
    return MulDiv(v, dpi, 96);
}

std::wstring percent(double rate) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%g%%", rate * 100);
    return text;
}

// The text's number; "," groups are skipped, anything else ends it.
double number_in(HWND edit) {
    wchar_t text[64] = {};
    GetWindowTextW(edit, text, 64);
    std::string digits;
    for (const wchar_t* c = text; *c && *c < 0x80; ++c) {
        if (*c != L',') digits += static_cast<char>(*c);
    }
    double value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

bool text_fits(HWND w, HFONT font) {
    wchar_t text[128] = {};
    const int n = GetWindowTextW(w, text, 128);
    RECT r = {};
    GetClientRect(w, &r);
    HDC dc = GetDC(w);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, n, &size);
    SelectObject(dc, old);
    ReleaseDC(w, dc);
    return size.cx <= r.right && size.cy <= r.bottom;
}

}  // namespace

InvoiceForm::~InvoiceForm() {
    if (form_) DestroyWindow(form_);
    if (font_) DeleteObject(font_);
    if (titleFont_) DeleteObject(titleFont_);
    if (theForm == this) theForm = nullptr;
}

HWND InvoiceForm::create(HINSTANCE instance, OpenCalculator open) {
    theForm = this;
    open_ = open;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = form_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"z5demo.Invoice";
    RegisterClassW(&wc);
    form_ = CreateWindowExW(0, wc.lpszClassName, L"\u8ACB\u6C42\u66F8 - z5calc \u30C7\u30E2",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 60, 60, 540,
                            360, nullptr, nullptr, instance, nullptr);
    if (!form_) return nullptr;
    make_controls(instance);
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    dpi_ = get_dpi ? static_cast<int>(get_dpi(form_)) : 0;
    if (dpi_ <= 0) {
        HDC dc = GetDC(nullptr);
        dpi_ = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(nullptr, dc);
    }
    lay_out();
    lines_changed();
    return form_;
}

void InvoiceForm::make_controls(HINSTANCE instance) {
    auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD ex = 0) {
        return CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 1, 1, form_,
                               nullptr, instance, nullptr);
    };
    // 請求書; 単価・数量: F4 かダブルクリックで電卓
    title_ = make(L"STATIC", L"\u8ACB\u6C42\u66F8", 0);
    hint_ = make(L"STATIC",
                 L"\u5358\u4FA1\u30FB\u6570\u91CF: F4 "
                 L"\u304B\u30C0\u30D6\u30EB\u30AF\u30EA\u30C3\u30AF\u3067\u96FB\u5353",
                 SS_RIGHT);
    for (int c = 0; c < 5; ++c) {
        headings_[c] = make(L"STATIC", kHeadings[c], c == 0 ? SS_LEFT : SS_CENTER);
    }
    for (int i = 0; i < kLineCount; ++i) {
        auto& row = cells_[i];
        row[0] = make(L"EDIT", kSample[i].name, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
        row[1] = make(L"EDIT", kSample[i].price, WS_TABSTOP | ES_RIGHT, WS_EX_CLIENTEDGE);
        row[2] = make(L"EDIT", kSample[i].quantity, WS_TABSTOP | ES_RIGHT, WS_EX_CLIENTEDGE);
        row[3] = make(L"COMBOBOX", L"", WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL);
        row[4] = make(L"EDIT", L"0", ES_RIGHT | ES_READONLY, WS_EX_CLIENTEDGE);
        for (const wchar_t* item : kRateItems)
            SendMessageW(row[3], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(row[3], CB_SETCURSEL, static_cast<int>(kSample[i].rate), 0);
        for (HWND number : {row[1], row[2]}) {
            editProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(number, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(cell_proc)));
        }
    }
    for (int t = 0; t < 5; ++t) {
        totalLabels_[t] = make(L"STATIC", L"", SS_RIGHT);
        totalValues_[t] = make(L"STATIC", L"", SS_RIGHT);
    }
    // ※ 軽減税率 (8%) の対象
    note_ = make(L"STATIC", L"\u203B \u8EFD\u6E1B\u7A0E\u7387 (8%) \u306E\u5BFE\u8C61", 0);
}

void InvoiceForm::lay_out() {
    HFONT font = z5calc::create_japanese_font(MulDiv(9, dpi_, 72), FW_NORMAL);  // 9 points
    HFONT title = z5calc::create_japanese_font(scaled(22, dpi_), FW_BOLD);
    auto place = [&](HWND w, int x, int y, int width, int height, HFONT f) {
        MoveWindow(w, scaled(x, dpi_), scaled(y, dpi_), scaled(width, dpi_), scaled(height, dpi_),
                   TRUE);
        SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    };
    place(title_, 12, 8, 160, 32, title);
    place(hint_, 180, 18, kFormWidth - 192, 20, font);
    for (int c = 0; c < 5; ++c) {
        place(headings_[c], kColumns[c].left, 48, kColumns[c].width, 20, font);
    }
    for (int i = 0; i < kLineCount; ++i) {
        for (int c = 0; c < 5; ++c) {
            const int height = c == 3 ? 160 : kRowHeight;  // a combo box's height holds its list
            place(cells_[i][c], kColumns[c].left, kLineTop + i * kLineStep, kColumns[c].width,
                  height, font);
        }
    }
    for (int t = 0; t < 5; ++t) {
        const int y = kTotalsTop + t * kTotalStep;
        place(totalLabels_[t], 200, y, 186, 20, font);
        place(totalValues_[t], kColumns[4].left, y, kColumns[4].width - 4, 20, font);
    }
    place(note_, 12, kTotalsTop + 4 * kTotalStep, 180, 20, font);
    if (font_) DeleteObject(font_);
    if (titleFont_) DeleteObject(titleFont_);
    font_ = font;
    titleFont_ = title;
    RECT outer = {0, 0, scaled(kFormWidth, dpi_), scaled(kTotalsTop + 5 * kTotalStep + 8, dpi_)};
    AdjustWindowRectEx(&outer, GetWindowLongW(form_, GWL_STYLE), FALSE, 0);
    SetWindowPos(form_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND InvoiceForm::cell(int line, Column column) const {
    return cells_[line][static_cast<int>(column)];
}

void InvoiceForm::set_tax(const std::array<double, 2>& rates, int taxMode) {
    rates_ = rates;
    taxMode_ = taxMode;
    lines_changed();
}

bool InvoiceForm::is_input(HWND control) const {
    for (const auto& row : cells_) {
        if (control == row[1] || control == row[2] || control == row[3]) return true;
    }
    return false;
}

Rate InvoiceForm::rate_of(int line) const {
    return SendMessageW(cell(line, Column::Rate), CB_GETCURSEL, 0, 0) == 1 ? Rate::Reduced
                                                                           : Rate::Standard;
}

void InvoiceForm::set_rate(int line, Rate rate) {
    SendMessageW(cell(line, Column::Rate), CB_SETCURSEL, static_cast<int>(rate), 0);
    lines_changed();
}

double InvoiceForm::value(int line, Column column) const {
    return number_in(cell(line, column));
}

void InvoiceForm::set_value(int line, Column column, double value) {
    SetWindowTextW(cell(line, column), yen_text(value).c_str());  // lines_changed by EN_CHANGE
}

std::array<InvoiceLine, kLineCount> InvoiceForm::lines() const {
    std::array<InvoiceLine, kLineCount> out;
    for (int i = 0; i < kLineCount; ++i) {
        out[i] = {value(i, Column::Price), value(i, Column::Quantity), rate_of(i)};
    }
    return out;
}

InvoiceTotals InvoiceForm::totals() const {
    return invoice_totals(lines(), rates_, taxMode_);
}

void InvoiceForm::lines_changed() {
    if (!form_) return;
    const auto all = lines();
    for (int i = 0; i < kLineCount; ++i) {
        SetWindowTextW(cell(i, Column::Amount), yen_text(all[i].amount()).c_str());
    }
    const InvoiceTotals t = totals();
    const std::wstring standard = percent(rates_[0]), reduced = percent(rates_[1]);
    // 10%対象 小計, 消費税 (10%), 8%対象 小計 ※, 消費税 (8%), 合計 (税込)
    const std::wstring labels[5] = {
        standard + L"\u5BFE\u8C61 \u5C0F\u8A08", L"\u6D88\u8CBB\u7A0E (" + standard + L")",
        reduced + L"\u5BFE\u8C61 \u5C0F\u8A08 \u203B", L"\u6D88\u8CBB\u7A0E (" + reduced + L")",
        L"\u5408\u8A08 (\u7A0E\u8FBC)"};
    const double values[5] = {t.byRate[0].subtotal, t.byRate[0].tax, t.byRate[1].subtotal,
                              t.byRate[1].tax, t.total};
    for (int k = 0; k < 5; ++k) {
        SetWindowTextW(totalLabels_[k], labels[k].c_str());
        SetWindowTextW(totalValues_[k], (yen_text(values[k]) + L" \u5186").c_str());
    }
}

bool InvoiceForm::texts_fit() const {
    for (HWND w : {hint_, note_}) {
        if (!text_fits(w, font_)) return false;
    }
    if (!text_fits(title_, titleFont_)) return false;
    for (int k = 0; k < 5; ++k) {
        if (!text_fits(headings_[k], font_) || !text_fits(totalLabels_[k], font_) ||
            !text_fits(totalValues_[k], font_)) {
            return false;
        }
    }
    return true;
}

LRESULT CALLBACK InvoiceForm::cell_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (theForm && ((message == WM_KEYDOWN && wParam == VK_F4) || message == WM_LBUTTONDBLCLK)) {
        for (int i = 0; i < kLineCount; ++i) {
            for (Column c : {Column::Price, Column::Quantity}) {
                if (theForm->cell(i, c) == hwnd) theForm->open_(i, c);
            }
        }
        return 0;
    }
    return CallWindowProcW(editProc, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK InvoiceForm::form_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    InvoiceForm* self = theForm && theForm->form_ == hwnd ? theForm : nullptr;
    switch (message) {
        case WM_COMMAND:
            // Amounts and totals follow every change of a number or a rate (not the amounts'
            // own changes, which lines_changed makes).
            if (self && (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == CBN_SELCHANGE) &&
                self->is_input(reinterpret_cast<HWND>(lParam))) {
                self->lines_changed();
            }
            return 0;
        case WM_DPICHANGED: {
            if (!self) break;
            // Dragged to a monitor of another scale: laid out again, where the system suggests.
            self->dpi_ = LOWORD(wParam);
            self->lay_out();
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_DESTROY:
            if (self) self->form_ = nullptr;
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace z5demo
