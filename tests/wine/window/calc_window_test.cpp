#include <windows.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc_window.h"
#include "loaded_window.h"
#include "screen_capture.h"
#include "gdi_handles.h"
#include "gui_support.h"
#include "layout.h"
#include "test_files.h"

namespace z5calc {
namespace {

class CalcWindowTest : public LoadedWindowTest {
  protected:
    void SetUp() override { load_window({15, 15}); }

    // The control of that name and index (-1 for a single control), as the window holds it.
    const Control& key(std::wstring_view name, int index = -1) {
        if (name == L"Readout") return window.face().Readout();
        if (name == L"lblMem") return window.face().lblMem();
        if (name == L"picWk") return window.face().picWk();
        const std::optional<KeyId> id = key_named(name, index);
        EXPECT_TRUE(id.has_value()) << narrow(std::wstring(name)) << " " << index;
        static const Control none;
        return id ? window.face().key(*id) : none;
    }
    // The key whose tag is `tag`, or imgDecimal for ".".
    const Control& tagged(std::wstring_view tag) {
        const std::optional<KeyId> id = key_tagged(tag);
        EXPECT_TRUE(id.has_value()) << "no key " << narrow(std::wstring(tag));
        static const Control none;
        return id ? window.face().key(*id) : none;
    }
    static LPARAM centre(const Control& c) {
        return MAKELPARAM(c.Left + c.Width / 2, c.Top + c.Height / 2);
    }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageW(window.hwnd(), message, wParam, lParam);
    }
    void click(const Control& c) {
        const LPARAM at = centre(c);
        send(WM_LBUTTONDOWN, MK_LBUTTON, at);
        send(WM_LBUTTONUP, 0, at);
    }
    void double_click(const Control& c) {
        const LPARAM at = centre(c);
        send(WM_LBUTTONDOWN, MK_LBUTTON, at);
        send(WM_LBUTTONUP, 0, at);
        send(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        send(WM_LBUTTONUP, 0, at);
    }
    void type(std::initializer_list<const wchar_t*> tags) {
        for (const wchar_t* tag : tags) click(tagged(tag));
    }
    std::string readout() const { return std::string(window.calculation().readout()); }
    // A screen point for client (x, y), packed as WM_NCHITTEST wants it.
    LPARAM screen_at(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(window.hwnd(), &p);
        return MAKELPARAM(p.x, p.y);
    }
    // The client area as the window paints it, one pixel at a time.
    std::vector<COLORREF> painted() { return painted_pixels(window.hwnd(), {0, 0, 210, 273}); }
    static COLORREF pixel_of(const Picture& p, int x, int y) {
        const std::uint8_t* bgr = p.bits() + (p.height() - 1 - y) * row_stride(p.width()) + x * 3;
        return RGB(bgr[2], bgr[1], bgr[0]);
    }
};

TEST_F(CalcWindowTest, ClientAreaAndEveryKeyInPlace) {
    RECT client;
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, 210);
    EXPECT_EQ(client.bottom, 273);
    wchar_t caption[32] = {};
    GetWindowTextW(window.hwnd(), caption, 32);
    EXPECT_EQ(std::wstring(caption), L"\u30BC\u30EB\u96FB\u5353");

    // Every key where the key table puts it at 96 DPI; all shown but the transfer key.
    for (const KeyRow& entry : kKeys) {
        const Control& c = window.face().key(entry.id);
        SCOPED_TRACE(narrow(entry.Name) + " " + std::to_string(entry.Index));
        EXPECT_EQ(c.Left, entry.rect.left);
        EXPECT_EQ(c.Top, entry.rect.top);
        EXPECT_EQ(c.Width, entry.rect.width);
        EXPECT_EQ(c.Height, entry.rect.height);
        EXPECT_EQ(c.Visible, entry.id != KeyId::Trans);
    }
    const Control& readout = window.face().Readout();
    EXPECT_EQ((std::array{readout.Left, readout.Top, readout.Width, readout.Height}),
              (std::array{14, 41, 177, 25}));
    // The transfer key reaches exactly to the bottom-right corner, in its "TROFF" picture.
    const Control& trans = key(L"imgTrans");
    EXPECT_EQ(trans.Left + trans.Width, client.right);
    EXPECT_EQ(trans.Top + trans.Height, client.bottom);
    EXPECT_EQ(trans.picture, load_bitmap_resource(module, L"TROFF"));
    const Control& mark = key(L"lblMem");
    EXPECT_EQ(mark.Left, 15);
    EXPECT_EQ(mark.Top, 34);
    EXPECT_FALSE(mark.Visible);
    EXPECT_FALSE(key(L"picWk").Visible);
    EXPECT_GE(key(L"picWk").Left, 210);
    EXPECT_EQ(window.face().keys().size(), 32u);  // beside the two labels and picWk
    EXPECT_GT(window.face().charWidth(), 0);
    EXPECT_GT(window.face().charHeight(), 0);
}

TEST_F(CalcWindowTest, FontSizesFollowTheTwipsPerPixel) {
    HDC dc = GetDC(window.hwnd());
    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window.hwnd(), dc);
    struct Case {
        std::int32_t twips;
        int readoutPoints;
    };
    for (Case c : {Case{15, 18}, Case{12, 15}}) {
        window.unload();
        ASSERT_TRUE(window.load(module, {c.twips, c.twips}));
        LOGFONTW readout = {}, mark = {};
        GetObjectW(window.face().readout_font(), sizeof(readout), &readout);
        GetObjectW(window.face().mem_font(), sizeof(mark), &mark);
        EXPECT_EQ(readout.lfHeight, -MulDiv(c.readoutPoints, dpiY, 72)) << c.twips;
        EXPECT_EQ(readout.lfWeight, FW_BOLD);
        // The mark goes by the screen, not by the recorded twips: 10.5 points at 96 DPI.
        ASSERT_EQ(dpiX, 96) << "the suite's prefix is at 96 DPI";
        EXPECT_EQ(mark.lfHeight, -14);
        EXPECT_EQ(std::wstring(mark.lfFaceName), L"Arial");
        EXPECT_EQ(mark.lfWeight, FW_BOLD);
    }
}

TEST_F(CalcWindowTest, RegionLiesOverTheClientArea) {
    UniqueHrgn region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(window.hwnd(), region.get()), COMPLEXREGION);
    RECT outer;
    GetWindowRect(window.hwnd(), &outer);
    POINT origin = {0, 0};
    ClientToScreen(window.hwnd(), &origin);
    const int dx = origin.x - outer.left, dy = origin.y - outer.top;
    EXPECT_EQ(dx, GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(dy, GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME));
    auto in = [&](int x, int y) { return PtInRegion(region.get(), x + dx, y + dy) != FALSE; };
    EXPECT_FALSE(in(0, 0));
    EXPECT_FALSE(in(144, 0));
    EXPECT_TRUE(in(0, 40));
    EXPECT_TRUE(in(105, 0));
}

TEST_F(CalcWindowTest, HookIsInPlaceWithItsProperties) {
    HWND hwnd = window.hwnd();
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SubClassProc));
    EXPECT_EQ(GetPropW(hwnd, callback_property_name(hwnd).data()),
              static_cast<MessageCallback*>(&window));
    EXPECT_NE(GetPropW(hwnd, L"OldProc"), nullptr);
    window.unload();
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(CalcWindowTest, HitTestDragsBySkinAndReadoutButNotByKeys) {
    auto hit = [&](int x, int y) { return send(WM_NCHITTEST, 0, screen_at(x, y)); };
    // A point of a key's rectangle whose skin is, or is not, the drag colour.
    auto point_in = [&](const Control& c, bool drag) {
        for (int y = c.Top; y < c.Top + c.Height; ++y) {
            for (int x = c.Left; x < c.Left + c.Width; ++x) {
                if ((window.face().picWk_color(x, y) == CalcFace::kDragColor) == drag) {
                    return POINT{x, y};
                }
            }
        }
        return POINT{-1, -1};
    };
    const Control& five = key(L"imgNumber", 5);
    POINT face = point_in(five, false), rim = point_in(five, true);
    ASSERT_GE(face.x, 0);
    ASSERT_GE(rim.x, 0);
    EXPECT_EQ(hit(face.x, face.y), HTCLIENT);
    EXPECT_EQ(hit(rim.x, rim.y), HTCAPTION);  // the drag colour wins over the key
    EXPECT_EQ(hit(100, 53), HTCAPTION);       // the readout
    EXPECT_NE(window.face().picWk_color(12, 32), CalcFace::kDragColor);
    EXPECT_EQ(hit(12, 32), HTCAPTION);  // the display window, where no control lies
    EXPECT_EQ(window.face().picWk_color(5, 100), CalcFace::kDragColor);
    EXPECT_EQ(hit(5, 100), HTCAPTION);
    // The hidden transfer key does not count until it is shown.
    POINT mascot = point_in(key(L"imgTrans"), false);
    ASSERT_GE(mascot.x, 0);
    EXPECT_EQ(hit(mascot.x, mascot.y), HTCAPTION);
    window.show_transfer_key(true);
    EXPECT_EQ(hit(mascot.x, mascot.y), HTCLIENT);
}

TEST_F(CalcWindowTest, PressShowsThePictureNamedByTheKeyAndReleaseClearsIt) {
    struct Case {
        const wchar_t* name;
        int index;
        const wchar_t* pressed;
        const wchar_t* released;  // null: no picture
    };
    for (const Case& c :
         {Case{L"imgNumber", 5, L"5", nullptr}, Case{L"imgNumber", 11, L"000", nullptr},
          Case{L"imgTax", 1, L"TAXOUT", nullptr}, Case{L"imgMem", 1, L"MP", nullptr},
          Case{L"imgOperator", 3, L"/", nullptr}, Case{L"imgDecimal", -1, L".", nullptr},
          Case{L"imgInv", -1, L"INV", nullptr}, Case{L"imgCancel", -1, L"OFF", nullptr},
          Case{L"imgTrans", -1, L"TRON", L"TROFF"}}) {
        SCOPED_TRACE(narrow(c.name) + " " + std::to_string(c.index));
        if (c.released) {
            window.show_transfer_key(true);
        }
        const Control& k = key(c.name, c.index);
        const LPARAM at = centre(k);
        const int left = k.Left, top = k.Top;
        const Picture pressed = load_bitmap_resource(module, c.pressed);
        ASSERT_TRUE(pressed);
        // The right button: every key shows its picture, and nothing is clicked.
        send(WM_RBUTTONDOWN, MK_RBUTTON, at);
        EXPECT_EQ(k.picture, pressed);
        EXPECT_EQ(k.Width, pressed.width());
        EXPECT_EQ(k.Height, pressed.height());
        send(WM_RBUTTONUP, 0, at);
        EXPECT_EQ(k.picture, c.released ? load_bitmap_resource(module, c.released) : Picture());
        EXPECT_EQ(k.Width, pressed.width());  // the size stays
        EXPECT_EQ(k.Left, left);
        EXPECT_EQ(k.Top, top);
        EXPECT_EQ(readout(), "0.");
    }
}

TEST_F(CalcWindowTest, PressedPictureIsWhatThePaintShows) {
    const Control& five = key(L"imgNumber", 5);
    const int x = five.Left + 14, y = five.Top + 14;
    const Picture skin = load_bitmap_resource(module, L"SKIN");
    const Picture pressed = load_bitmap_resource(module, L"5");
    ASSERT_NE(pixel_of(skin, x, y), pixel_of(pressed, 14, 14));
    EXPECT_EQ(painted()[y * 210 + x], pixel_of(skin, x, y));
    send(WM_LBUTTONDOWN, MK_LBUTTON, centre(five));
    EXPECT_EQ(painted()[y * 210 + x], pixel_of(pressed, 14, 14));
    send(WM_LBUTTONUP, 0, centre(five));
    EXPECT_EQ(painted()[y * 210 + x], pixel_of(skin, x, y));
}

TEST_F(CalcWindowTest, ReleaseReachesThePressedKeyAnywhere) {
    const Control& five = key(L"imgNumber", 5);
    send(WM_LBUTTONDOWN, MK_LBUTTON, centre(five));
    EXPECT_EQ(GetCapture(), window.hwnd());
    send(WM_LBUTTONUP, 0, MAKELPARAM(5, 100));  // let go over the bare skin
    EXPECT_FALSE(five.picture);
    EXPECT_EQ(readout(), "0.");  // sliding off is no click
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(CalcWindowTest, ClicksDriveTheCalculator) {
    struct Case {
        std::initializer_list<const wchar_t*> keys;
        const char* readout;
    };
    for (const Case& c :
         {Case{{L"5", L"+", L"3", L"="}, "8."}, Case{{L"1", L"2", L"X", L"3", L"="}, "36."},
          Case{{L"9", L"/", L"4", L"="}, "2.25"}, Case{{L"7", L"INV"}, "-7."},
          Case{{L"1", L".", L"5", L"X", L"2", L"="}, "3."},
          Case{{L"4", L"5", L"6", L"BS"}, "45."}}) {
        type({L"AC"});
        type(c.keys);
        EXPECT_EQ(readout(), c.readout);
    }
}

TEST_F(CalcWindowTest, DoubleClicksActTwiceOnNumbersAndBackspaceOnly) {
    double_click(tagged(L"5"));
    EXPECT_EQ(readout(), "55.");
    double_click(tagged(L"BS"));
    EXPECT_EQ(readout(), "0.");
    type({L"AC", L"3"});
    double_click(tagged(L"+"));
    type({L"4", L"="});
    EXPECT_EQ(readout(), "7.");
    // The double-click's own press shows the picture; its release clears it.
    const Control& two = tagged(L"2");
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, centre(two));
    EXPECT_EQ(two.picture, load_bitmap_resource(module, L"2"));
    send(WM_LBUTTONUP, 0, centre(two));
    EXPECT_FALSE(two.picture);
    const Control& plus = tagged(L"+");
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, centre(plus));
    EXPECT_FALSE(plus.picture);
    send(WM_LBUTTONUP, 0, centre(plus));
}

TEST_F(CalcWindowTest, MemoryMarkFollowsTheMemory) {
    type({L"5", L"MP"});
    EXPECT_TRUE(key(L"lblMem").Visible);
    type({L"MC"});
    EXPECT_FALSE(key(L"lblMem").Visible);
}

TEST_F(CalcWindowTest, ReloadHidesTheMarkButKeepsTheMemory) {
    type({L"5", L"MP"});
    ASSERT_TRUE(key(L"lblMem").Visible);
    window.unload();
    ASSERT_TRUE(window.load(module, {15, 15}));
    EXPECT_FALSE(key(L"lblMem").Visible);
    EXPECT_EQ(readout(), "0.");
    type({L"MR"});
    EXPECT_EQ(readout(), "5.");
}

// The tooltips name the keys in Japanese: their font has every glyph, in any locale.
TEST_F(CalcWindowTest, TooltipsDrawEveryKeyName) {
    send(WM_MOUSEMOVE, 0, centre(tagged(L"5")));
    ASSERT_NE(window.tooltips(), nullptr);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(window.tooltips(), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    for (const KeyRow& row : kKeys) {
        EXPECT_EQ(missing_glyphs(font, std::wstring(key_name(row.id))), L"");
    }
    // With Z5_SHOTS set to a folder, the tooltip of 税込 as the pointer brings it, saved there.
    if (const wchar_t* folder = _wgetenv(L"Z5_SHOTS")) {
        const LPARAM at = centre(tagged(L"taxin"));
        POINT p = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
        ClientToScreen(window.hwnd(), &p);
        SetCursorPos(p.x, p.y);
        send(WM_MOUSEMOVE, 0, at);
        for (int i = 0; i < 150 && !IsWindowVisible(window.tooltips()); ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
        RECT area;
        GetWindowRect(window.hwnd(), &area);
        area.right += 200;
        area.bottom += 40;
        save_screen_bmp((std::wstring(folder) + L"\\tooltip.bmp").c_str(), area);
    }
}

TEST_F(CalcWindowTest, OffKeyClosesTheWindow) {
    click(key(L"imgCancel"));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(window.hwnd(), nullptr);
}

TEST_F(CalcWindowTest, CtrlRightReleaseOnAnOperatorShowsTheVersion) {
    const Control& equals = tagged(L"=");
    {
        MessageBoxWatch watch(L"z5calc");
        send(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, centre(equals));
        send(WM_RBUTTONUP, MK_CONTROL | MK_SHIFT, centre(equals));
        std::wstring text;
        ASSERT_TRUE(watch.seen(text));
        EXPECT_EQ(text, L"Ver.5.0.226");
        const POINT centre = centre_of(window.hwnd());  // the box stands on the calculator
        EXPECT_NEAR((watch.rect().left + watch.rect().right) / 2, centre.x, 1);
        EXPECT_NEAR((watch.rect().top + watch.rect().bottom) / 2, centre.y, 1);
    }
    EXPECT_FALSE(equals.picture);
    EXPECT_EQ(readout(), "0.");
    struct Case {
        const Control* key;
        UINT down, up;
        WPARAM held;
    };
    for (const Case& c : {Case{&equals, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_CONTROL},
                          Case{&equals, WM_RBUTTONDOWN, WM_RBUTTONUP, 0},
                          Case{&tagged(L"5"), WM_RBUTTONDOWN, WM_RBUTTONUP, MK_CONTROL}}) {
        MessageBoxWatch watch(L"z5calc", std::chrono::milliseconds(300));
        send(c.down, c.held, centre(*c.key));
        send(c.up, c.held, centre(*c.key));
        std::wstring text;
        EXPECT_FALSE(watch.seen(text)) << narrow(text);
    }
}

TEST_F(CalcWindowTest, ActivationTakesTheFocusOnlyWhenModalAndActivatedPlainly) {
    UniqueHwnd other(CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 20, nullptr,
                                     nullptr, nullptr, nullptr));
    ASSERT_TRUE(other);
    struct Case {
        const wchar_t* tag;
        WPARAM wParam;
        bool takes;
    };
    for (const Case& c : {Case{CalcWindow::kModalTag, WA_ACTIVE, true},
                          Case{CalcWindow::kModalTag, WA_CLICKACTIVE, false},
                          Case{CalcWindow::kModalTag, MAKEWPARAM(WA_ACTIVE, 1), false},
                          Case{L"", WA_ACTIVE, false}}) {
        SetFocus(other.get());
        ASSERT_EQ(GetFocus(), other.get());
        window.Tag = c.tag;
        window.on_activate(c.wParam);
        EXPECT_EQ(GetFocus() == window.hwnd(), c.takes) << narrow(c.tag) << " " << c.wParam;
    }
}

// The component around the window, with its settings in a file of the test's own.
class RecordingHost final : public CalcWindowHost {
  public:
    explicit RecordingHost(const std::wstring& ini) {
        store.twipsX = store.twipsY = 15;
        store.iniFile = ini;
    }
    SettingsStore& settings() noexcept override { return store; }
    std::int16_t message_box(HWND, const std::wstring& text, std::int16_t) noexcept override {
        messages.push_back(text);
        return IDOK;
    }
    void talk_close() noexcept override { ++talkCloses; }

    SettingsStore store;
    std::vector<std::wstring> messages;
    int talkCloses = 0;
};

TEST_F(CalcWindowTest, LoadTakesTheSavedPositionAndTheRealCloseSavesIt) {
    window.unload();
    TempFolder folder(L"position");
    const std::wstring ini = folder.path() + L"z5calc.ini";
    struct Case {
        const char* file;
        int left, top;  // pixels; -1: centred on the screen
    };
    for (const Case& c :
         {Case{"", -1, -1}, Case{"[Window]\r\nfrmCalc_Top=120\r\nfrmCalc_Left=240\r\n", 16, 8},
          Case{"[Window]\r\nfrmCalc_Top=120\r\n", 0, 8},
          Case{"[Window]\r\nfrmCalc_Top=True\r\nfrmCalc_Left=240\r\n", -1, -1}}) {
        SCOPED_TRACE(c.file);
        write_bytes(ini, c.file);
        RecordingHost host(ini);
        ASSERT_TRUE(window.load(module, {15, 15}, &host));
        RECT r;
        GetWindowRect(window.hwnd(), &r);
        const int width = r.right - r.left, height = r.bottom - r.top;
        EXPECT_NEAR(r.left, c.left >= 0 ? c.left : (GetSystemMetrics(SM_CXSCREEN) - width) / 2.0,
                    1);
        EXPECT_NEAR(r.top, c.top >= 0 ? c.top : (GetSystemMetrics(SM_CYSCREEN) - height) / 2.0, 1);

        // A close request while modal only hides; the real close saves where the window is.
        SetWindowPos(window.hwnd(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        window.Tag = CalcWindow::kModalTag;
        window.close_request();
        EXPECT_TRUE(window.hwnd() != nullptr);
        EXPECT_EQ(host.talkCloses, 0);
        window.Tag.clear();
        window.close_request();
        EXPECT_EQ(window.hwnd(), nullptr);
        EXPECT_EQ(host.talkCloses, 1);
        EXPECT_EQ(host.store.GetIniValue(L"Window", L"frmCalc_Left"), 300);
        EXPECT_EQ(host.store.GetIniValue(L"Window", L"frmCalc_Top"), 450);
    }
    ASSERT_TRUE(window.load(module, {15, 15}));  // for TearDown
}

TEST_F(CalcWindowTest, TransferHandsTheShownNumberToTheHostWithinTheLimit) {
    window.unload();
    TempFolder folder(L"transfer");
    RecordingHost host(folder.path() + L"z5calc.ini");
    ASSERT_TRUE(window.load(module, {15, 15}, &host));
    window.show_transfer_key(true);
    window.calculation().open(0, 100, {}, TaxRateKind::Standard);
    type({L"9", L"9", L"+", L"2"});
    click(key(L"imgTrans"));
    EXPECT_FALSE(window.calculation().transferred());  // 101 is over the limit
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], L"数値が大き過ぎます。\r\n100までにしてください。");
    EXPECT_EQ(readout(), "101.");
    type({L"AC", L"1", L"0", L"0"});
    click(key(L"imgTrans"));
    EXPECT_EQ(window.calculation().transferred(), 100);
    EXPECT_EQ(host.messages.size(), 1u);
    window.unload();  // while the host is still there
    ASSERT_TRUE(window.load(module, {15, 15}));
}

}  // namespace
}  // namespace z5calc
