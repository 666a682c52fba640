#include "present_window.h"

#include <algorithm>

#include "companion_contract.h"
#include "gdi_handles.h"

namespace talkzel {
namespace {

constexpr wchar_t kClassName[] = L"z5talk.Present";
constexpr const wchar_t* kTitle = z5calc::companion::kCaption;
constexpr int kMargin = 12, kButtonWidth = 80, kButtonHeight = 24, kGap = 8;

HICON style_icon(UINT style) {
    switch (style & MB_ICONMASK) {
        case MB_ICONHAND:
            return LoadIconW(nullptr, IDI_HAND);
        case MB_ICONQUESTION:
            return LoadIconW(nullptr, IDI_QUESTION);
        case MB_ICONEXCLAMATION:
            return LoadIconW(nullptr, IDI_EXCLAMATION);
        case MB_ICONASTERISK:
            return LoadIconW(nullptr, IDI_ASTERISK);
    }
    return nullptr;
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

bool PresentWindow::show(const std::wstring& text, UINT style, POINT centre, HICON mascot,
                         std::function<void(int)> answered) {
    close();
    text_ = text;
    set_ = buttons_of(style);
    defaultId_ = set_.buttons[default_index(style, set_)];
    mascot_ = mascot;
    icon_ = style_icon(style);
    answered_ = std::move(answered);
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    // The text decides the size: at most 320 pixels wide, as tall as it needs.
    RECT measure = {0, 0, 320, 0};
    {
        const z5calc::WindowDc screen;
        z5calc::ScopedSelect font(screen.get(), font_);
        DrawTextW(screen.get(), text_.c_str(), -1, &measure,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    const int iconsWidth = 32 + kGap + (icon_ ? 32 + kGap : 0);
    const int buttonsWidth = static_cast<int>(set_.buttons.size()) * (kButtonWidth + kGap) - kGap;
    const int textHeight = std::max<int>(measure.bottom, 32);
    const int clientWidth =
        std::max<int>(kMargin * 2 + iconsWidth + measure.right, kMargin * 2 + buttonsWidth);
    const int clientHeight = kMargin * 3 + textHeight + kButtonHeight;
    textRect_ = {kMargin + iconsWidth, kMargin, kMargin + iconsWidth + measure.right,
                 kMargin + textHeight};

    const DWORD styleBits = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT outer = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, styleBits, FALSE, WS_EX_TOPMOST);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    if (!create_window(kClassName, 0, WS_EX_TOPMOST, styleBits, kTitle, centre.x - width / 2,
                       centre.y - height / 2, width, height, nullptr)) {
        return false;
    }
    HWND text_control =
        CreateWindowExW(0, L"STATIC", text_.c_str(), WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                        textRect_.left, textRect_.top, measure.right, textHeight, hwnd(),
                        reinterpret_cast<HMENU>(100), code_module(), nullptr);
    SendMessageW(text_control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    int x = clientWidth - kMargin - buttonsWidth;
    HWND focus = nullptr;
    for (int id : set_.buttons) {
        const DWORD kind = id == defaultId_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        HWND button = CreateWindowExW(
            0, L"BUTTON", button_text(id), WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, x,
            clientHeight - kMargin - kButtonHeight, kButtonWidth, kButtonHeight, hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), code_module(), nullptr);
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        if (id == defaultId_) focus = button;
        x += kButtonWidth + kGap;
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    if (focus) SetFocus(focus);
    return true;
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
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            if (mascot_) DrawIconEx(dc, kMargin, kMargin, mascot_, 32, 32, 0, nullptr, DI_NORMAL);
            if (icon_)
                DrawIconEx(dc, kMargin + 32 + kGap, kMargin, icon_, 32, 32, 0, nullptr, DI_NORMAL);
            EndPaint(hwnd(), &ps);
            return 0;
        }
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace talkzel
