#include "calc_window.h"

#include <windowsx.h>

#include <cmath>
#include <cwctype>

#include "ime32.h"
#include "layout.h"
#include "modal.h"
#include "number_text.h"
#include "window_region.h"
#include "window_twips.h"

namespace z5calc {
namespace {

constexpr wchar_t kClassName[] = L"z5calc.frmCalc";
constexpr wchar_t kCaption[] = L"\u30BC\u30EB\u96FB\u5353";  // ゼル電卓
constexpr wchar_t kTitle[] = L"z5calc";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // fixed single border
// Posted at activation, so the activation steps run after the system's own handling.
constexpr UINT kActivatedMessage = WM_APP + 1;

std::wstring widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

int shift_state(WPARAM keys) noexcept {
    int shift = 0;
    if (keys & MK_SHIFT) shift |= 1;
    if (keys & MK_CONTROL) shift |= 2;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

POINT point_of(LPARAM lParam) noexcept {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// Places `key` under `above`: same left, 30 pixels lower, its own size.
void place_under(Control& key, const Control& above) noexcept {
    key.Left = above.Left;
    key.Top = above.Top + 30;
}

void move(Control& c, int left, int top, int width, int height) noexcept {
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
}

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
        skin_ = load_bitmap_resource(resources, L"SKIN");
        create_controls();
        // A freshly loaded window shows "0." and no memory mark; the state behind them stays.
        calc_.state().Readout.assign("0.");
        calc_.state().memMark = false;
        // Created at its final size, so that the layout's sizing step has nothing to move.
        RECT outer = {0, 0, kClientWidth, kClientHeight};
        AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
        // The saved place is read now, so that the window is also created there and its move
        // in step 5 below finds it in place.
        const int width = outer.right - outer.left, height = outer.bottom - outer.top;
        const std::optional<TwipsBox> place =
            saved_place(static_cast<float>(width) * metrics_.twipsX,
                        static_cast<float>(height) * metrics_.twipsY);
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
        if (place) {
            x = static_cast<int>(std::lround(place->left / metrics_.twipsX));
            y = static_cast<int>(std::lround(place->top / metrics_.twipsY));
        }
        const auto icon =
            static_cast<HICON>(LoadImageW(resources, L"CALC", IMAGE_ICON, 32, 32, LR_SHARED));
        if (!create_window(kClassName, CS_DBLCLKS, 0, kStyle, kCaption, x, y, width, height,
                           nullptr, icon)) {
            controls_.clear();
            return false;
        }
        measure_character();
        arrange_keys();
        ApplyWindowRegion(resources, L"FRM", hwnd());
        SubClassWindow(hwnd(), this);
        if (place) {
            TwipsBox box = window_twips(hwnd(), metrics_.twipsX, metrics_.twipsY);
            box.left = place->left;
            box.top = place->top;
            set_window_twips(hwnd(), box, metrics_.twipsX, metrics_.twipsY);
        }
        picWk_.copy_from(skin_);
        return true;
    } catch (...) {
        unload();
        return false;
    }
}

void CalcWindow::unload() noexcept {
    if (HWND window = hwnd()) {
        if (host_) {
            save_position();
            host_->talk_close();
        }
        UnSubClassWindow(window);
        DestroyWindow(window);
    }
    controls_.clear();
    picWk_.clear();
    readoutFont_.reset();
    memFont_.reset();
    pressed_ = -1;
    clickSpent_ = false;
}

void CalcWindow::close_request() noexcept {
    if (!hwnd()) return;
    if (!Tag.empty()) {
        ShowWindow(hwnd(), SW_HIDE);
        return;
    }
    unload();
}

std::optional<TwipsBox> CalcWindow::saved_place(float width, float height) noexcept {
    if (!host_) return std::nullopt;
    try {
        SettingsStore& settings = host_->settings();
        TwipsBox box = {0, 0, width, height};
        const std::int32_t top = settings.GetIniValue(ini_keys::kFrmCalcTop);
        if (top == -1) {
            box.left =
                (GetSystemMetrics(SM_CXSCREEN) * static_cast<float>(metrics_.twipsX) - width) / 2;
            box.top =
                (GetSystemMetrics(SM_CYSCREEN) * static_cast<float>(metrics_.twipsY) - height) / 2;
        } else {
            box.left = static_cast<float>(settings.GetIniValue(ini_keys::kFrmCalcLeft));
            box.top = static_cast<float>(top);
        }
        return box;
    } catch (...) {
        return std::nullopt;  // a position beyond 32 bits: the system's place stays
    }
}

void CalcWindow::save_position() noexcept {
    try {
        const TwipsBox box = window_twips(hwnd(), metrics_.twipsX, metrics_.twipsY);
        SettingsStore& settings = host_->settings();
        settings.PutIniValue(ini_keys::kFrmCalcLeft.section, ini_keys::kFrmCalcLeft.key,
                             static_cast<double>(box.left));
        settings.PutIniValue(ini_keys::kFrmCalcTop.section, ini_keys::kFrmCalcTop.key,
                             static_cast<double>(box.top));
    } catch (...) {
        // Failed settings writes are ignored.
    }
}

bool CalcWindow::transfer_key_visible() const noexcept {
    const Control* trans = find(L"imgTrans");
    return trans && trans->Visible;
}

void CalcWindow::key_press(wchar_t ch) noexcept {
    if (controls_.empty()) return;
    switch (ch) {
        case L'+':
        case L'-':
        case L'X':
        case L'*':
        case L'x':
        case L'/':
        case L'=':
        case L'%':
        case L'C':
        case L'c': {
            std::wstring tag(1, static_cast<wchar_t>(std::towupper(ch)));
            if (tag == L"*") tag = L"X";
            if (tag == L"C") tag = L"AC";
            for (int i = 0; i <= 7; ++i) {
                if (control(L"imgOperator", i).Tag == tag) {
                    key_click(control(L"imgOperator", i));
                    return;
                }
            }
            return;
        }
        case L'.':
            key_click(control(L"imgDecimal"));
            return;
        case 8:
            key_click(control(L"imgBs"));
            return;
        case 27:
            key_click(control(L"imgCancel"));
            return;
        case 13:
            if (transfer_key_visible()) key_click(control(L"imgTrans"));
            return;
    }
    if (ch >= L'0' && ch <= L'9') key_click(control(L"imgNumber", ch - L'0'));
}

void CalcWindow::transfer_click() noexcept {
    calc_.operator_click(kOperatorEquals);
    const std::optional<double> value = read_number(calc_.readout());
    if (!value) {
        beep();
        return;
    }
    const double mmax = calc_.state().mmax;
    if (mmax != 0 && std::fabs(*value) > mmax) {
        beep();
        try {
            const std::wstring text = L"数値が大き過ぎます。\r\n" +
                                      widen(general_text(mmax).view()) + L"までにしてください。";
            if (host_) host_->message_box(hwnd(), text, 48);
        } catch (...) {
            // No memory for the message: the beep has said it.
        }
        return;
    }
    if (host_) host_->transfer_value(*value);
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

// The pending events may have closed or hidden the window (Esc typed at once): a hidden
// window taking the foreground would take the activation from the host it went back to.
bool CalcWindow::still_shown() const noexcept {
    return hwnd() && IsWindowVisible(hwnd());
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
    if (Tag == L"modal") {
        process_pending_messages();
        if (!still_shown()) return;
        SetForegroundWindow(hwnd());
    }
}

void CalcWindow::show_transfer_key(bool visible) noexcept {
    if (controls_.empty()) return;
    Control& trans = control(L"imgTrans");
    trans.Visible = visible;
    invalidate(trans.rect());
}

void CalcWindow::create_controls() {
    controls_.clear();
    controls_.reserve(36);
    auto add = [&](const wchar_t* name, std::wstring tag, int index, KeyRole role, int width,
                   int height) -> Control& {
        Control& c = controls_.emplace_back();
        c.Name = name;
        c.Tag = std::move(tag);
        c.Index = index;
        c.role = role;
        c.Width = width;
        c.Height = height;
        return c;
    };
    // The order is the hit test's: where kept sizes overlap by a pixel or two in the bottom
    // rows, the earlier key takes the click.
    for (int i = 0; i < 12; ++i) {
        const bool kept = i == 0 || i >= 10;
        add(L"imgNumber", widen(kNumberTags[i]), i, KeyRole::Number, kept ? 33 : 31,
            kept ? 33 : 30);
    }
    add(L"imgDecimal", L"", -1, KeyRole::Decimal, 33, 33);
    add(L"imgInv", L"INV", -1, KeyRole::Inv, 33, 33);
    add(L"imgBs", L"BS", -1, KeyRole::Bs, 33, 33);
    for (int i = 0; i < 8; ++i) {
        add(L"imgOperator", widen(kOperatorTags[i]), i, KeyRole::Operator, i == 7 ? 25 : 31,
            i == 7 ? 25 : 30);
    }
    for (int i = 0; i < 4; ++i) add(L"imgMem", widen(kMemTags[i]), i, KeyRole::Mem, 25, 25);
    for (int i = 0; i < 3; ++i) add(L"imgTax", widen(kTaxTags[i]), i, KeyRole::Tax, 37, 19);
    add(L"imgCancel", L"", -1, KeyRole::Cancel, 41, 33);
    add(L"imgTrans", L"", -1, KeyRole::Trans, 0, 0).Visible = false;

    Control& readout = add(L"Readout", L"", -1, KeyRole::None, 177, 25);
    readout.kind = ControlKind::Label;
    Control& mark = add(L"lblMem", L"", -1, KeyRole::None, 0, 0);
    mark.kind = ControlKind::Label;
    mark.Visible = false;
    Control& work = add(L"picWk", L"", -1, KeyRole::None, skin_.width(), skin_.height());
    work.kind = ControlKind::PictureBox;
    work.Visible = false;
    // Outside the client area, 3240 x 4680 twips from its corner.
    work.Left = 3240 / metrics_.twipsX;
    work.Top = 4680 / metrics_.twipsY;
}

const Control* CalcWindow::find(std::wstring_view name, int index) const noexcept {
    for (const Control& c : controls_) {
        if (c.Name == name && c.Index == index) return &c;
    }
    return nullptr;
}

Control& CalcWindow::control(std::wstring_view name, int index) noexcept {
    // Only called with the names and indexes of create_controls().
    return *const_cast<Control*>(find(name, index));
}

void CalcWindow::measure_character() noexcept {
    HDC dc = GetDC(hwnd());
    if (!dc) return;
    {
        ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, L"\u25A1", 1, &size)) {
            charWidth_ = size.cx;
            charHeight_ = size.cy;
        }
    }
    ReleaseDC(hwnd(), dc);
}

void CalcWindow::arrange_keys() noexcept {
    HDC dc = GetDC(hwnd());
    const int dpiX = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    const int dpiY = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;

    // The readout keeps the window's font face, made bold and sized by the start-up's twips.
    LOGFONTW face = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face);
    LOGFONTW lf = face;
    lf.lfHeight = font_height_request(readout_font_points(metrics_.twipsY), dpiY);
    lf.lfWidth = 0;
    lf.lfWeight = FW_BOLD;
    readoutFont_.reset(CreateFontIndirectW(&lf));
    move(control(L"Readout"), 14, 41, 177, 25);

    for (int c = 1; c <= 9; ++c) {
        move(control(L"imgNumber", c), (c - 1) % 3 * 31 + 10, (9 - c) / 3 * 30 + 103, 31, 30);
    }
    place_under(control(L"imgNumber", 0), control(L"imgNumber", 1));
    place_under(control(L"imgNumber", 10), control(L"imgNumber", 2));
    place_under(control(L"imgNumber", 11), control(L"imgNumber", 3));
    place_under(control(L"imgDecimal"), control(L"imgNumber", 0));
    place_under(control(L"imgInv"), control(L"imgNumber", 10));
    place_under(control(L"imgBs"), control(L"imgNumber", 11));

    for (int i = 0; i <= 6; ++i) {
        move(control(L"imgOperator", i), i % 2 * 31 + 111, i / 2 * 30 + 103, 31, 30);
    }
    place_under(control(L"imgOperator", 7), control(L"imgOperator", 6));
    Control& off = control(L"imgCancel");
    off.Left = 144;
    off.Top = 0;
    for (int i = 0; i <= 2; ++i) move(control(L"imgTax", i), i * 40 + 10, 77, 37, 19);
    for (int i = 0; i <= 3; ++i) move(control(L"imgMem", i), 173, i * 25 + 103, 25, 25);

    // The memory mark follows the screen's own twips per pixel, in fractional points.
    LOGFONTW arial = {};
    arial.lfHeight = font_height_request(mem_font_points(1440.0 / dpiX), dpiY);
    arial.lfWeight = FW_BOLD;
    arial.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(arial.lfFaceName, L"Arial", LF_FACESIZE);
    memFont_.reset(CreateFontIndirectW(&arial));
    Control& mark = control(L"lblMem");
    mark.Left = 15;
    mark.Top = 34;
    if (dc) {
        // The mark sizes itself to its text.
        ScopedSelect font(dc, memFont_.get());
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, L"M", 1, &size)) {
            mark.Width = size.cx;
            mark.Height = size.cy;
        }
        ReleaseDC(hwnd(), dc);
    }

    Control& trans = control(L"imgTrans");
    trans.Left = 146;
    trans.Top = 205;
    key_up(trans, 0, 0);  // gives it "TROFF" and so its 64 x 68 size

    // Outer size = outer - client + wanted client. In pixels this is the twips computation
    // divided through by twips per pixel, without its rounding.
    RECT outer = {}, client = {};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    if (client.right == kClientWidth && client.bottom == kClientHeight) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left - client.right + kClientWidth,
                 outer.bottom - outer.top - client.bottom + kClientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CalcWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (HDC dc = BeginPaint(hwnd(), &ps)) {
                paint(dc);
                EndPaint(hwnd(), &ps);
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the skin covers the whole client area
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDBLCLK:  // only the left button has a double-click event
        case WM_MBUTTONDBLCLK:
            mouse_down(point_of(lParam));
            return 0;
        case WM_LBUTTONDBLCLK:
            mouse_double_click(point_of(lParam));
            return 0;
        case WM_LBUTTONUP:
            mouse_up(1, wParam, point_of(lParam));
            return 0;
        case WM_RBUTTONUP:
            mouse_up(2, wParam, point_of(lParam));
            return 0;
        case WM_MBUTTONUP:
            mouse_up(4, wParam, point_of(lParam));
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
            break;
        case WM_HELP:
            open_help(helpFile.c_str(), helpContextID);
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(hwnd(), kActivatedMessage, 0, 0);
            break;
        case kActivatedMessage:
            activated();
            return 0;
        case WM_DESTROY:
            // The hook's properties must be gone before the window is.
            UnSubClassWindow(hwnd());
            pressed_ = -1;
            return 0;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

LRESULT CalcWindow::mCallBackWindow(HWND hw, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (uMsg) {
        case WM_ACTIVATE:
            // Only plain activation; click activation and a minimized window's are left alone.
            if (wParam == WA_ACTIVE && !Tag.empty()) {
                SetFocus(hwnd());
                SetForegroundWindow(hwnd());
            }
            return 0;
        case WM_NCHITTEST: {
            POINT p = {static_cast<std::int16_t>(LOWORD(lParam)),
                       static_cast<std::int16_t>(HIWORD(lParam))};
            ScreenToClient(hw, &p);
            if (picWk_color(p.x, p.y) == kDragColor) return HTCAPTION;
            for (const Control& c : controls_) {
                if (c.Visible && c.contains(p) && std::wstring_view(c.Name) != L"Readout") return 0;
            }
            return HTCAPTION;
        }
    }
    return 0;
}

void CalcWindow::beep() noexcept {
    MessageBeep(MB_OK);
}

void CalcWindow::display_changed(const CalcState& state) noexcept {
    if (controls_.empty()) return;
    Control& mark = control(L"lblMem");
    if (mark.Visible != state.memMark) {
        mark.Visible = state.memMark;
        invalidate(mark.rect());
    }
    invalidate(control(L"Readout").rect());
}

int CalcWindow::key_at(POINT p) const noexcept {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = controls_[i];
        if (c.kind == ControlKind::Image && c.Visible && c.contains(p)) return static_cast<int>(i);
    }
    return -1;
}

void CalcWindow::mouse_down(POINT p) noexcept {
    // While one key holds the mouse, every button goes to it.
    const int index = pressed_ >= 0 ? pressed_ : key_at(p);
    if (index < 0) return;
    if (pressed_ < 0) {
        pressed_ = index;
        clickSpent_ = false;
        SetCapture(hwnd());
    }
    key_down(controls_[index]);
}

void CalcWindow::mouse_double_click(POINT p) noexcept {
    const int index = pressed_ >= 0 ? pressed_ : key_at(p);
    if (index < 0) return;
    if (pressed_ < 0) {
        pressed_ = index;
        SetCapture(hwnd());
    }
    clickSpent_ = true;
    key_double_click(controls_[index]);
}

void CalcWindow::mouse_up(int button, WPARAM keys, POINT p) noexcept {
    if (pressed_ < 0) return;
    const int index = pressed_;
    // A click is the left button let go over the key it went down on.
    const bool click = button == 1 && !clickSpent_ && controls_[index].contains(p);
    if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        pressed_ = -1;  // before ReleaseCapture, whose notice would otherwise release it again
        clickSpent_ = false;
        if (GetCapture() == hwnd()) ReleaseCapture();
    }
    HWND window = hwnd();
    key_up(controls_[index], button, shift_state(keys));
    // The version box pumps messages; the window may be gone when it closes.
    if (click && hwnd() == window && IsWindow(window) &&
        index < static_cast<int>(controls_.size())) {
        key_click(controls_[index]);
    }
}

void CalcWindow::capture_lost() noexcept {
    // Another window took the mouse: the button-up will never come, so the key is let go now.
    if (pressed_ < 0) return;
    Control& key = controls_[pressed_];
    pressed_ = -1;
    clickSpent_ = false;
    key_up(key, 0, 0);
}

void CalcWindow::show_pressed(Control& key, const wchar_t* name) noexcept {
    const RECT before = key.rect();
    key.set_picture(load_bitmap_resource(resources_, name));
    invalidate(before);
    invalidate(key.rect());
}

void CalcWindow::key_down(Control& key) noexcept {
    switch (key.role) {
        case KeyRole::Decimal:
            show_pressed(key, L".");
            break;
        case KeyRole::Cancel:
            show_pressed(key, L"OFF");
            break;
        case KeyRole::Trans:
            show_pressed(key, L"TRON");
            break;
        default:
            show_pressed(key, key.Tag.c_str());
            break;
    }
}

void CalcWindow::key_up(Control& key, int button, int shift) noexcept {
    if (key.role == KeyRole::Trans) {
        show_pressed(key, L"TROFF");
        return;
    }
    key.set_picture({});
    invalidate(key.rect());
    if (key.role == KeyRole::Operator && button == 2 && (shift & 2)) show_version();
}

void CalcWindow::key_double_click(Control& key) noexcept {
    if (key.role == KeyRole::Number) {
        show_pressed(key, key.Tag.c_str());
        calc_.number_click(key.Index);  // a double-click enters its digits once more
    } else if (key.role == KeyRole::Bs) {
        show_pressed(key, L"BS");
        calc_.bs_click();
    }
}

void CalcWindow::key_click(const Control& key) noexcept {
    switch (key.role) {
        case KeyRole::Number:
            calc_.number_click(key.Index);
            break;
        case KeyRole::Decimal:
            calc_.decimal_click();
            break;
        case KeyRole::Inv:
            calc_.inv_click();
            break;
        case KeyRole::Bs:
            calc_.bs_click();
            break;
        case KeyRole::Operator:
            calc_.operator_click(key.Index);
            break;
        case KeyRole::Mem:
            calc_.mem_click(key.Index);
            break;
        case KeyRole::Tax:
            calc_.tax_click(key.Index);
            break;
        case KeyRole::Cancel:
            PostMessageW(hwnd(), WM_CLOSE, 0, 0);
            break;
        case KeyRole::Trans:
            transfer_click();
            break;
        case KeyRole::None:
            break;
    }
}

void CalcWindow::show_version() noexcept {
    try {
        HRSRC found = FindResourceW(resources_, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
        HGLOBAL loaded = found ? LoadResource(resources_, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        auto version = fixed_file_version(data, found ? SizeofResource(resources_, found) : 0);
        if (!version) return;
        MessageBoxW(hwnd(), version_message(*version).c_str(), kTitle, MB_OK);
    } catch (...) {
        // No memory for a dozen characters: there is nothing to show.
    }
}

void CalcWindow::invalidate(const RECT& r) noexcept {
    if (hwnd()) InvalidateRect(hwnd(), &r, FALSE);
}

void CalcWindow::paint(HDC target) noexcept {
    UniqueMemoryDc buffer(target);
    UniqueHbitmap surface(CreateCompatibleBitmap(target, kClientWidth, kClientHeight));
    if (!buffer || !surface) return;
    HDC dc = buffer.get();
    {
        ScopedSelect bitmap(dc, surface.get());
        skin_.draw(dc, 0, 0);
        // Drawn last to first, so that the key the hit test finds first is the one on top.
        for (auto c = controls_.rbegin(); c != controls_.rend(); ++c) {
            if (c->kind == ControlKind::Image && c->Visible) c->picture.draw(dc, c->Left, c->Top);
        }
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        if (const Control* readout = find(L"Readout"); readout && readoutFont_) {
            ScopedSelect font(dc, readoutFont_.get());
            const std::wstring text = widen(calc_.readout());
            RECT r = readout->rect();
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        }
        if (const Control* mark = find(L"lblMem"); mark && mark->Visible && memFont_) {
            ScopedSelect font(dc, memFont_.get());
            RECT r = mark->rect();
            DrawTextW(dc, L"M", 1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        }
        BitBlt(target, 0, 0, kClientWidth, kClientHeight, dc, 0, 0, SRCCOPY);
    }
}

}  // namespace z5calc
