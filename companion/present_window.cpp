#include "present_window.h"

#include <algorithm>

#include "companion_contract.h"
#include "japanese_font.h"
#include "screen_rules.h"
#include "window_dpi.h"

namespace talkzel {
namespace {

constexpr wchar_t kClassName[] = L"z5talk.Present";
constexpr const wchar_t* kTitle = z5calc::companion::kCaption;
// Lengths at 96 DPI.
constexpr int kMargin = 12, kButtonWidth = 80, kButtonHeight = 24, kGap = 8;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr int kTextId = 100;
// Longer texts are not measured (word-breaking measures take time that grows with the square
// of a word's length): they scroll in a control as tall as the screen allows.
constexpr std::size_t kMeasuredChars = 2000;
constexpr UINT kMeasure = DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

// The text broken into lines no wider than `width`: after the last space that fits, else where
// the line is full. Each line is measured by a bounded piece of it, so the time grows only with
// the text's length (an edit control's own wrapping of a long word grows with its square).
std::wstring wrapped(HDC dc, const std::wstring& text, int width) {
    constexpr std::size_t kPiece = 512;  // more than any line at any DPI holds
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos) end = text.size();
        const std::size_t lineEnd = end > at && text[end - 1] == L'\r' ? end - 1 : end;
        std::size_t pos = at;
        for (;;) {
            int fit = 0;
            SIZE size = {};
            const auto piece = static_cast<int>(std::min(lineEnd - pos, kPiece));
            GetTextExtentExPointW(dc, text.data() + pos, piece, width, &fit, nullptr, &size);
            std::size_t take = static_cast<std::size_t>(std::max(fit, 1));
            std::size_t next = pos + take;
            if (next < lineEnd) {
                for (std::size_t i = pos + take; i > pos; --i) {
                    if (text[i] != L' ') continue;
                    take = i - pos;
                    next = i + 1;
                    break;
                }
            }
            out.append(text, pos, std::min(take, lineEnd - pos));
            pos = next;
            if (pos >= lineEnd) break;
            out += L"\r\n";
        }
        if (end == text.size()) break;
        out += L"\r\n";
        at = end + 1;
    }
    return out;
}

RECT work_area_at(POINT point) noexcept {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcWork;
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

const wchar_t* style_icon_name(UINT style) {
    switch (style & MB_ICONMASK) {
        case MB_ICONHAND:
            return IDI_HAND;
        case MB_ICONQUESTION:
            return IDI_QUESTION;
        case MB_ICONEXCLAMATION:
            return IDI_EXCLAMATION;
        case MB_ICONASTERISK:
            return IDI_ASTERISK;
    }
    return nullptr;
}

// The style's system icon drawn for `size` pixels, owned by the caller. The system's scaling
// loader where it exists (common controls 6), else the icon copied to the size.
HICON style_icon(UINT style, int size) noexcept {
    const wchar_t* name = style_icon_name(style);
    if (!name) return nullptr;
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto scale_down = reinterpret_cast<ScaleDown>(reinterpret_cast<void*>(
        GetProcAddress(LoadLibraryW(L"comctl32.dll"), "LoadIconWithScaleDown")));
    HICON icon = nullptr;
    if (scale_down && SUCCEEDED(scale_down(nullptr, name, size, size, &icon))) return icon;
    return static_cast<HICON>(CopyImage(LoadIconW(nullptr, name), IMAGE_ICON, size, size, 0));
}

}  // namespace

ButtonSet buttons_of(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {{IDOK, IDCANCEL}, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {{IDABORT, IDRETRY, IDIGNORE}, 0};
        case MB_YESNOCANCEL:
            return {{IDYES, IDNO, IDCANCEL}, IDCANCEL};
        case MB_YESNO:
            return {{IDYES, IDNO}, 0};
        case MB_RETRYCANCEL:
            return {{IDRETRY, IDCANCEL}, IDCANCEL};
    }
    return {{IDOK}, IDOK};
}

int default_index(UINT style, const ButtonSet& set) {
    const int wanted = static_cast<int>((style & MB_DEFMASK) >> 8);
    return wanted < static_cast<int>(set.buttons.size()) ? wanted : 0;
}

const wchar_t* button_text(int result) {
    switch (result) {
        case IDOK:
            return L"OK";
        case IDCANCEL:
            return L"\u30AD\u30E3\u30F3\u30BB\u30EB";  // キャンセル
        case IDABORT:
            return L"\u4E2D\u6B62";  // 中止
        case IDRETRY:
            return L"\u518D\u8A66\u884C";  // 再試行
        case IDIGNORE:
            return L"\u7121\u8996";  // 無視
        case IDYES:
            return L"\u306F\u3044";  // はい
        case IDNO:
            return L"\u3044\u3044\u3048";  // いいえ
    }
    return L"";
}

bool PresentWindow::show(const std::wstring& text, UINT style, POINT centre, HMODULE art,
                         std::function<void(int)> answered) {
    close();
    text_ = text;
    style_ = style;
    art_ = art;
    set_ = buttons_of(style);
    defaultId_ = set_.buttons[default_index(style, set_)];
    answered_ = std::move(answered);

    // Made first and laid out once it exists, at the DPI it is shown at.
    if (!create_window(kClassName, 0, WS_EX_TOPMOST, kStyle, kTitle, centre.x, centre.y, 1, 1,
                       nullptr)) {
        return false;
    }
    textControl_ = nullptr;
    buttons_.clear();
    make_text_control(false);  // static text, until the layout finds it does not fit
    HWND focus = nullptr;
    for (int id : set_.buttons) {
        const DWORD kind = id == defaultId_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        HWND button = CreateWindowExW(
            0, L"BUTTON", button_text(id), WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 0, 0, 1, 1,
            hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), code_module(), nullptr);
        buttons_.push_back(button);
        if (id == defaultId_) focus = button;
    }
    lay_out(z5calc::window_dpi(hwnd()), centre);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    if (focus) SetFocus(focus);
    return true;
}

void PresentWindow::make_text_control(bool scrolls) noexcept {
    if (textControl_ && scrolls == textScrolls_) return;
    if (textControl_) DestroyWindow(textControl_);
    textScrolls_ = scrolls;
    const DWORD style =
        scrolls ? WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY
                : WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_EDITCONTROL;
    // A scrolling text is given its lines once the control has its width and font.
    textControl_ =
        CreateWindowExW(0, scrolls ? L"EDIT" : L"STATIC", scrolls ? L"" : text_.c_str(), style, 0,
                        0, 1, 1, hwnd(), reinterpret_cast<HMENU>(kTextId), code_module(), nullptr);
    // Placed before the buttons, so that Tab reaches it first.
    if (textControl_ && !buttons_.empty())
        SetWindowPos(textControl_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void PresentWindow::lay_out(int dpi, POINT centre) noexcept {
    using z5calc::scaled;
    dpi_ = dpi;
    const int margin = scaled(kMargin, dpi), gap = scaled(kGap, dpi), iconSize = scaled(32, dpi);
    const int buttonHeight = scaled(kButtonHeight, dpi);
    font_.reset(z5calc::create_japanese_ui_font(dpi));
    const auto font = font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    mascot_.reset(
        art_ ? static_cast<HICON>(LoadImageW(art_, L"MASCOT", IMAGE_ICON, iconSize, iconSize, 0))
             : nullptr);
    icon_.reset(style_icon(style_, iconSize));

    const RECT work = work_area_at(centre);
    RECT chrome = {0, 0, 0, 0};
    AdjustWindowRectEx(&chrome, kStyle, FALSE, WS_EX_TOPMOST);
    const int chromeWidth = chrome.right - chrome.left, chromeHeight = chrome.bottom - chrome.top;
    const int iconsWidth = iconSize + gap + (icon_ ? iconSize + gap : 0);
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    // The text decides the size: at most 320 pixels (at 96 DPI) wide and no wider than the work
    // area leaves, as tall as it needs while the screen has room, else scrolled.
    const int textWidth =
        std::max<int>(std::min<int>(scaled(320, dpi), work.right - work.left - chromeWidth -
                                                          2 * margin - iconsWidth - scrollBar),
                      iconSize);
    const int tallest =
        std::max<int>(work.bottom - work.top - chromeHeight - 3 * margin - buttonHeight, iconSize);
    RECT measure = {0, 0, textWidth, 0};
    // A button is as wide as its text needs, and never narrower than the usual 80.
    int buttonWidth = scaled(kButtonWidth, dpi);
    {
        const z5calc::WindowDc screen;
        z5calc::ScopedSelect select(screen.get(), font);
        if (text_.size() <= kMeasuredChars)
            DrawTextW(screen.get(), text_.c_str(), static_cast<int>(text_.size()), &measure,
                      kMeasure);
        for (int id : set_.buttons) {
            SIZE size = {};
            const wchar_t* label = button_text(id);
            if (GetTextExtentPoint32W(screen.get(), label, lstrlenW(label), &size)) {
                buttonWidth = std::max<int>(buttonWidth, size.cx + 2 * margin);
            }
        }
    }
    const bool scrolls = text_.size() > kMeasuredChars || measure.bottom > tallest;
    make_text_control(scrolls);
    const int textControlWidth = scrolls ? textWidth + scrollBar : measure.right;
    const int count = static_cast<int>(set_.buttons.size());
    const int buttonsWidth = count * (buttonWidth + gap) - gap;
    const int textHeight = scrolls ? tallest : std::max<int>(measure.bottom, iconSize);
    const int clientWidth =
        std::max<int>(margin * 2 + iconsWidth + textControlWidth, margin * 2 + buttonsWidth);
    const int clientHeight = margin * 3 + textHeight + buttonHeight;

    const int width = clientWidth + chromeWidth, height = clientHeight + chromeHeight;
    // Centred where asked, but whole on the screen.
    const int left =
        std::max<int>(work.left, std::min<int>(centre.x - width / 2, work.right - width));
    const int top =
        std::max<int>(work.top, std::min<int>(centre.y - height / 2, work.bottom - height));
    SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    MoveWindow(textControl_, margin + iconsWidth, margin, textControlWidth, textHeight, FALSE);
    SendMessageW(textControl_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (scrolls) {
        // Broken into lines here, a little narrower than the control's text area.
        try {
            const z5calc::WindowDc screen;
            z5calc::ScopedSelect select(screen.get(), font);
            SetWindowTextW(textControl_,
                           wrapped(screen.get(), text_, textWidth - scaled(8, dpi)).c_str());
        } catch (...) {
            SetWindowTextW(textControl_, L"");
        }
    }
    int x = clientWidth - margin - buttonsWidth;
    for (HWND button : buttons_) {
        MoveWindow(button, x, clientHeight - margin - buttonHeight, buttonWidth, buttonHeight,
                   FALSE);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        x += buttonWidth + gap;
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void PresentWindow::paint(HDC dc) const noexcept {
    const int margin = z5calc::scaled(kMargin, dpi_), gap = z5calc::scaled(kGap, dpi_);
    const int size = z5calc::scaled(32, dpi_);
    if (mascot_) DrawIconEx(dc, margin, margin, mascot_.get(), size, size, 0, nullptr, DI_NORMAL);
    if (icon_) {
        DrawIconEx(dc, margin + size + gap, margin, icon_.get(), size, size, 0, nullptr, DI_NORMAL);
    }
}

void PresentWindow::close() noexcept {
    if (hwnd()) DestroyWindow(hwnd());
}

bool PresentWindow::dialog_message(MSG& msg) noexcept {
    return hwnd() && IsDialogMessageW(hwnd(), &msg);
}

void PresentWindow::answer(int result) noexcept {
    auto answered = std::move(answered_);
    answered_ = nullptr;
    close();
    if (answered) answered(result);
}

LRESULT PresentWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case DM_GETDEFID:
            return MAKELRESULT(defaultId_, DC_HASDEFID);
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (std::find(set_.buttons.begin(), set_.buttons.end(), id) != set_.buttons.end()) {
                answer(id);
            } else if (id == IDCANCEL && set_.escape) {
                answer(set_.escape);  // Esc, where the set has an answer for it
            }
            return 0;
        }
        case WM_CLOSE:
            if (set_.escape) answer(set_.escape);
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd(), &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_PAINT:
            return paint_message(message, wParam, [this](HDC dc) { paint(dc); });
        case WM_DPICHANGED: {
            // Laid out again about its own centre. The suggested rectangle is not read: any
            // process may send this message, with any pointer.
            RECT at = {};
            GetWindowRect(hwnd(), &at);
            lay_out(z5calc::usable_dpi(LOWORD(wParam)),
                    {(at.left + at.right) / 2, (at.top + at.bottom) / 2});
            return 0;
        }
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace talkzel
