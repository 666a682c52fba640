// The calculator window at the screen's DPI, whatever it is: CTest runs this program in the test
// prefix (96 DPI) and in copies of it set to 144 and 192 DPI (run_at_dpi.sh).
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "calc_window.h"
#include "loaded_window.h"
#include "screen_capture.h"
#include "tax_rate_text.h"
#include "dpi_scale.h"
#include "gdi_handles.h"
#include "gui_support.h"
#include "test_files.h"

namespace z5calc {
namespace {

std::size_t commit_bytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

int screen_dpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return dpi;
}

class TransferHost final : public CalcWindowHost {
  public:
    explicit TransferHost(const std::wstring& ini) {
        store.twipsX = store.twipsY = 1440 / screen_dpi();
        store.iniFile = ini;
    }
    SettingsStore& settings() noexcept override { return store; }
    std::int16_t message_box(HWND, const std::wstring&, std::int16_t) noexcept override {
        return IDOK;
    }
    void talk_close() noexcept override {}

    SettingsStore store;
};

class DpiTest : public LoadedWindowTest {
  protected:
    void SetUp() override {
        dpi = screen_dpi();
        // The twips per pixel the component records at its start-up on this screen.
        const std::int32_t twips = 1440 / dpi;
        load_window({twips, twips}, &host);
    }

    int s(int v) const { return scaled(v, dpi); }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageW(window.hwnd(), message, wParam, lParam);
    }
    static LPARAM centre_of(const KeyRect& r) {
        return MAKELPARAM(r.left + r.width / 2, r.top + r.height / 2);
    }
    void click(KeyId id) {
        const LPARAM at = centre_of(scaled(key_spec(id).rect, dpi));
        send(WM_LBUTTONDOWN, MK_LBUTTON, at);
        send(WM_LBUTTONUP, 0, at);
    }
    LRESULT hit(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(window.hwnd(), &p);
        return send(WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    // Whether client (x, y) lies inside the window's outline.
    bool in_region(int x, int y) {
        UniqueHrgn region(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(window.hwnd(), region.get()) == ERROR) return true;
        RECT outer;
        GetWindowRect(window.hwnd(), &outer);
        POINT p = {x, y};
        ClientToScreen(window.hwnd(), &p);
        return PtInRegion(region.get(), p.x - outer.left, p.y - outer.top) != FALSE;
    }
    RECT region_box() {
        UniqueHrgn region(CreateRectRgn(0, 0, 0, 0));
        RECT box = {};
        if (GetWindowRgn(window.hwnd(), region.get()) != ERROR) GetRgnBox(region.get(), &box);
        return box;
    }

    TempFolder folder{L"dpi"};
    TransferHost host{folder.path() + L"z5calc.ini"};
    int dpi = 96;
};

TEST_F(DpiTest, ScreenHasTheDpiTheRunAskedFor) {
    const char* wanted = std::getenv("Z5_EXPECTED_DPI");
    const int expected = wanted ? std::atoi(wanted) : 96;
    EXPECT_EQ(dpi, expected);
    EXPECT_EQ(window.face().dpi(), expected);
    EXPECT_TRUE(window.face().art_drawn());  // decoded from the drawn art, not stretched
    std::printf("screen and window at %d DPI\n", dpi);
}

TEST_F(DpiTest, ClientAreaAndKeysScaleByTheDpi) {
    RECT client;
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(client.right, s(210));
    EXPECT_EQ(client.bottom, s(273));
    for (KeyId id : {KeyId::Num7, KeyId::Num0, KeyId::Num000, KeyId::Decimal, KeyId::Percent,
                     KeyId::MR, KeyId::TaxOut, KeyId::Off}) {
        const KeyRect expected = scaled(key_spec(id).rect, dpi);
        const Control& k = window.face().key(id);
        SCOPED_TRACE(static_cast<int>(id));
        EXPECT_EQ(k.Left, expected.left);
        EXPECT_EQ(k.Top, expected.top);
        EXPECT_EQ(k.Width, expected.width);
        EXPECT_EQ(k.Height, expected.height);
    }
    // The transfer key at rest fills its scaled rectangle to the client area's corner.
    const Control& trans = window.face().key(KeyId::Trans);
    EXPECT_EQ(trans.Left + trans.Width, client.right);
    EXPECT_EQ(trans.Top + trans.Height, client.bottom);
    EXPECT_EQ(window.face().Readout().Left, s(14));
    EXPECT_EQ(window.face().Readout().Width, s(14 + 177) - s(14));
    EXPECT_EQ(window.face().lblMem().Left, s(15));
    EXPECT_EQ(window.face().lblMem().Top, s(34));
}

TEST_F(DpiTest, FontsGrowWithTheLayout) {
    LOGFONTW readout = {}, mark = {};
    GetObjectW(window.face().readout_font(), sizeof(readout), &readout);
    GetObjectW(window.face().mem_font(), sizeof(mark), &mark);
    const int points = readout_font_points(1440 / dpi);
    EXPECT_EQ(readout.lfHeight, scaled(font_height_request(points, dpi), dpi));
    EXPECT_EQ(mark.lfHeight, scaled(font_height_request(mem_font_points(1440.0 / dpi), dpi), dpi));
    // About 24 and 14 pixels high at 96 DPI, in proportion elsewhere.
    EXPECT_NEAR(-readout.lfHeight, 24.0 * dpi / 96, 0.15 * 24 * dpi / 96);
    EXPECT_NEAR(-mark.lfHeight, 14.0 * dpi / 96, 0.15 * 14 * dpi / 96);
}

TEST_F(DpiTest, OutlineFollowsTheScaledSkin) {
    const RECT box = region_box();
    EXPECT_EQ(box.right - box.left, s(210));
    EXPECT_EQ(box.bottom - box.top, s(273));
    EXPECT_FALSE(in_region(0, 0));               // the rounded corner
    EXPECT_FALSE(in_region(s(144), 0));          // the OFF key's notch
    EXPECT_TRUE(in_region(s(105), 0));           // the top edge
    EXPECT_TRUE(in_region(0, s(40) + 1));        // the full-width rows
    EXPECT_TRUE(in_region(s(209), s(232) - 1));  // the right edge
    EXPECT_FALSE(in_region(s(209), s(272)));     // the bottom-right corner
    EXPECT_FALSE(in_region(s(105), -1));         // the caption bar
    EXPECT_TRUE(in_region(s(20), s(20)));        // inside the top-left curve
}

TEST_F(DpiTest, HitTestsUseTheScaledSkin) {
    EXPECT_EQ(window.face().picWk_color(s(5), s(100)), CalcFace::kDragColor);
    EXPECT_EQ(hit(s(5), s(100)), HTCAPTION);   // bare skin drags
    EXPECT_EQ(hit(s(100), s(53)), HTCAPTION);  // so does the readout
    const KeyRect five = scaled(key_spec(KeyId::Num5).rect, dpi);
    EXPECT_EQ(hit(five.left + five.width / 2, five.top + five.height / 2), HTCLIENT);
    // A key's face (not the drag colour) takes the mouse.
    EXPECT_NE(window.face().picWk_color(five.left + five.width / 2, five.top + five.height / 2),
              CalcFace::kDragColor);
}

TEST_F(DpiTest, ClicksAtScaledCentresCalculateAndTransfer) {
    window.show_transfer_key(true);
    for (KeyId id :
         {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Times, KeyId::Num3, KeyId::Equals}) {
        click(id);
    }
    EXPECT_EQ(std::string(window.calculation().readout()), "45.");
    click(KeyId::Trans);
    EXPECT_EQ(window.calculation().transferred(), 45);
}

TEST_F(DpiTest, PressedPictureFillsItsScaledRectangle) {
    const KeyRow& entry = key_spec(KeyId::Num5);
    const Picture base = load_bitmap_resource(module, entry.picture.c_str());
    ASSERT_TRUE(base);
    const KeyRect expected =
        scaled(KeyRect{entry.rect.left, entry.rect.top, base.width(), base.height()}, dpi);
    const KeyRect r = scaled(entry.rect, dpi);
    send(WM_RBUTTONDOWN, MK_RBUTTON, centre_of(r));
    const Control& k = window.face().key(KeyId::Num5);
    EXPECT_EQ(k.picture.width(), expected.width);
    EXPECT_EQ(k.picture.height(), expected.height);
    EXPECT_EQ(k.Width, expected.width);
    // The paint shows the pressed face: darker than the resting face at the same point.
    const int x = expected.left + s(4), y = expected.top + s(4);
    const std::vector<COLORREF> down = painted_pixels(window.hwnd(), {x, y, x + 1, y + 1});
    send(WM_RBUTTONUP, 0, centre_of(r));
    const std::vector<COLORREF> up = painted_pixels(window.hwnd(), {x, y, x + 1, y + 1});
    ASSERT_EQ(down.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_LT(GetGValue(down[0]) + 20, GetGValue(up[0]));
}

TEST_F(DpiTest, PaintShowsTheSkinAtScaledPoints) {
    const RECT all = {0, 0, s(210), s(273)};
    const std::vector<COLORREF> pixels = painted_pixels(window.hwnd(), all);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(s(210) * s(273)));
    auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y) * s(210) + x]; };
    EXPECT_EQ(at(s(5), s(100)), RGB(0x50, 0xC0, 0x50));  // the body
    EXPECT_EQ(at(s(205), s(5)), RGB(0xFF, 0xFF, 0xFF));  // outside the outline
    const COLORREF face = at(s(12), s(105));             // the 7's face near its corner
    EXPECT_NEAR(GetRValue(face), 0xF2, 12);
    EXPECT_NEAR(GetGValue(face), 0xF2, 12);
    EXPECT_NEAR(GetBValue(face), 0xEA, 12);
}

TEST_F(DpiTest, DpiChangeLaysTheWindowOutAgain) {
    // 110 DPI has no art of its own: the 125 % art scaled down. Each fits on the test screen.
    for (int next : {110, 168, dpi}) {
        SCOPED_TRACE(next);
        RECT suggested = {40, 30, 40 + scaled(230, next), 30 + scaled(300, next)};
        send(WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(window.face().dpi(), next);
        EXPECT_TRUE(window.face().art_drawn());
        RECT client, outer;
        GetClientRect(window.hwnd(), &client);
        GetWindowRect(window.hwnd(), &outer);
        EXPECT_EQ(client.right, scaled(210, next));
        EXPECT_EQ(client.bottom, scaled(273, next));
        EXPECT_EQ(outer.left, 40);
        EXPECT_EQ(outer.top, 30);
        const RECT box = region_box();
        EXPECT_NEAR(box.right - box.left, scaled(210, next), 1);
        EXPECT_NEAR(box.bottom - box.top, scaled(273, next), 1);
        const KeyRect seven = scaled(key_spec(KeyId::Num7).rect, next);
        EXPECT_EQ(window.face().key(KeyId::Num7).Left, seven.left);
        EXPECT_EQ(window.face().key(KeyId::Num7).Width, seven.width);
        EXPECT_EQ(window.face().picWk_color(scaled(5, next), scaled(100, next)),
                  CalcFace::kDragColor);
    }
}

// Every length of readout, signed and grouped, and the longest the engine writes: the ink
// starts inside the readout, and a text the seed font fits keeps its size.
TEST_F(DpiTest, ReadoutShowsEveryTextWhole) {
    const RECT r = window.face().Readout().rect();
    const RECT area = {0, r.top - s(4), s(210), r.bottom + s(4)};
    const int width = area.right - area.left;
    auto ink_of = [&](const char* text) {
        show_readout(window.calculation(), "");
        const std::vector<COLORREF> blank = painted_pixels(window.hwnd(), area);
        show_readout(window.calculation(), text);
        const std::vector<COLORREF> shown = painted_pixels(window.hwnd(), area);
        RECT ink = {width, 0, -1, 0};
        ink.top = area.bottom;
        for (std::size_t i = 0; i < shown.size() && i < blank.size(); ++i) {
            if (shown[i] == blank[i]) continue;
            const int x = static_cast<int>(i) % width, y = area.top + static_cast<int>(i) / width;
            ink = {std::min<int>(ink.left, x), std::min<int>(ink.top, y),
                   std::max<int>(ink.right, x), 0};
        }
        return ink;
    };
    const int seedTop = ink_of("8.").top;
    const WindowDc dc(window.hwnd());
    ScopedSelect seed(dc.get(), window.face().readout_font());
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc.get(), LF_FACESIZE, face);
    std::printf("readout face %ls at %d DPI\n", face, dpi);
    for (const char* text : {"8",
                             "8.",
                             "-8.",
                             "-88.",
                             "-888.",
                             "8,888.",
                             "-8,888.",
                             "-88,888.",
                             "-888,888.",
                             "8,888,888.",
                             "-8,888,888.",
                             "-88,888,888.",
                             "-888,888,888.",
                             "-888,888,888.8",
                             "-123,456,789.",
                             "-0.142857143",
                             "0.333333333",
                             "-123,456,789.1",
                             "Error",
                             "-1.23456789012346E+300"}) {
        SCOPED_TRACE(text);
        const RECT ink = ink_of(text);
        ASSERT_GE(ink.right, ink.left);  // something was drawn
        EXPECT_GE(ink.left, r.left);
        EXPECT_LE(ink.right, r.right);
        SIZE size = {};
        GetTextExtentPoint32A(dc.get(), text, static_cast<int>(std::strlen(text)), &size);
        if (size.cx < r.right - r.left && text[0] != 'E') {
            EXPECT_EQ(ink.top, seedTop);
        }
        EXPECT_GE(ink.top, seedTop);  // on the seed's baseline: lower when shrunk, never higher
    }
}

// F8 switches to the reduced rate: its mark appears beside the digits, which keep clear of it,
// the tax keys and their tooltips use it; a click on the mark gives back exactly the usual face.
TEST_F(DpiTest, F8SwitchesToTheReducedRateAndShowsItsMark) {
    send(WM_MOUSEMOVE, 0, MAKELPARAM(s(5), s(100)));  // the tooltips are made
    const RECT display = {s(11), s(31), s(195), s(70)};
    const int width = display.right - display.left;
    show_readout(window.calculation(), "-123,456,789.");
    const std::vector<COLORREF> standard = painted_pixels(window.hwnd(), display);
    send(WM_KEYDOWN, VK_F8, 0);
    ASSERT_EQ(window.calculation().tax_rate_kind(), TaxRateKind::Reduced);
    const std::vector<COLORREF> reduced = painted_pixels(window.hwnd(), display);
    if (const wchar_t* folder = _wgetenv(L"Z5_SHOTS")) {  // a picture for a person, on request
        RECT area;
        GetWindowRect(window.hwnd(), &area);
        const std::wstring path =
            std::wstring(folder) + L"\\reduced-" + std::to_wstring(dpi) + L".bmp";
        save_windows_bmp(path.c_str(), area, {window.hwnd()});
    }
    show_readout(window.calculation(), "");
    const std::vector<COLORREF> markOnly = painted_pixels(window.hwnd(), display);
    const RECT at = window.rate_switch_part().rect;
    const KeyRect mark = {at.left, at.top, at.right - at.left, at.bottom - at.top};
    const RECT m = window.face().lblMem().rect();
    EXPECT_GE(mark.left - m.right, s(3)) << "the mark keeps clear of the memory's M";
    int markInk = 0, digitsOnMark = 0;
    for (std::size_t i = 0; i < reduced.size(); ++i) {
        const int x = display.left + static_cast<int>(i) % width;
        const int y = display.top + static_cast<int>(i) / width;
        const bool onMark = x >= mark.left && x < mark.left + mark.width && y >= mark.top &&
                            y < mark.top + mark.height;
        if (onMark && markOnly[i] != reduced[i]) ++digitsOnMark;
        if (onMark && markOnly[i] != standard[i]) ++markInk;
    }
    EXPECT_GT(markInk, s(20));   // 「軽8%」 is drawn
    EXPECT_EQ(digitsOnMark, 0);  // and the digits keep clear of it
    wchar_t tip[80] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.hwnd = window.hwnd();
    tool.uId = static_cast<UINT_PTR>(KeyId::TaxIn);
    tool.lpszText = tip;
    SendMessageW(window.tooltips(), TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_NE(std::wstring(tip).find(L"(8%)"), std::wstring::npos);
    for (const char* k : {"AC", "1", "000", "taxin"}) {
        window.calculation().press(*key_from_tag(k));
    }
    EXPECT_EQ(std::string(window.calculation().readout()), "1,080.");
    // A click on the mark switches back; the face is then exactly the usual one.
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mark.left + s(4), mark.top + mark.height / 2));
    send(WM_LBUTTONUP, 0, MAKELPARAM(mark.left + s(4), mark.top + mark.height / 2));
    EXPECT_EQ(window.calculation().tax_rate_kind(), TaxRateKind::Standard);
    show_readout(window.calculation(), "-123,456,789.");
    EXPECT_EQ(painted_pixels(window.hwnd(), display), standard);
}

// What a screen reader is told of the keys' places is in the window's real pixels.
TEST_F(DpiTest, AccessibleLocationsAreTheScaledKeys) {
    IAccessible* acc = window.accessible_object();
    ASSERT_NE(acc, nullptr);
    for (KeyId id : {KeyId::Num7, KeyId::Num000, KeyId::MR, KeyId::Off}) {
        const KeyRect r = scaled(key_spec(id).rect, dpi);
        POINT corner = {r.left, r.top};
        ClientToScreen(window.hwnd(), &corner);
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = static_cast<long>(id) + 1;
        long l = 0, t = 0, w = 0, h = 0;
        ASSERT_EQ(acc->accLocation(&l, &t, &w, &h, child), S_OK);
        EXPECT_EQ(l, corner.x);
        EXPECT_EQ(t, corner.y);
        EXPECT_EQ(w, r.width);
        EXPECT_EQ(h, r.height);
    }
    acc->Release();
}

// Sent by anyone: no rectangle, no DPI, an absurd DPI. The window stays whole and usable.
TEST_F(DpiTest, MalformedDpiChangesAreSurvived) {
    RECT before;
    GetWindowRect(window.hwnd(), &before);
    send(WM_DPICHANGED, MAKEWPARAM(0, 0), 0);
    EXPECT_EQ(window.face().dpi(), 96);  // no DPI is taken as 96
    RECT after;
    GetWindowRect(window.hwnd(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    RECT suggested = {10, 10, 20, 20};
    send(WM_DPICHANGED, MAKEWPARAM(60000, 60000), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.face().dpi(), 96);
    // Beyond the largest drawn art (300 %): that art's size, and on the screen whatever the
    // suggestion says.
    RECT absurd = {-32768, -32768, -32000, -32000};
    const std::size_t committed = commit_bytes();
    send(WM_DPICHANGED, MAKEWPARAM(960, 960), reinterpret_cast<LPARAM>(&absurd));
    EXPECT_EQ(window.face().dpi(), 288);
    const double grown = (static_cast<double>(commit_bytes()) - committed) / (1 << 20);
    std::printf("memory after a change to 960 DPI: %+.1f MB\n", grown);
    EXPECT_LT(grown, 16.0);  // the art of 300 %, not of 1000 %
    RECT client, outer, work = {};
    GetClientRect(window.hwnd(), &client);
    GetWindowRect(window.hwnd(), &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(client.right, scaled(210, 288));
    EXPECT_EQ(outer.left, work.left);
    EXPECT_EQ(outer.top, work.top);
    send(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.face().dpi(), dpi);
    click(KeyId::Num4);
    click(KeyId::Num2);
    EXPECT_EQ(std::string(window.calculation().readout()), "42.");
}

// Two UI threads, each with its own calculator window at its own DPI, changing at once.
TEST_F(DpiTest, WindowsOnTwoThreadsKeepTheirOwnScale) {
    struct Result {
        int dpi = 0, width = 0;
        std::string readout;
    } results[2];
    auto run = [](int target, Result* out) {
        Calculation ownCalculation;
        CalcWindow own(ownCalculation);
        if (!own.load(module, {15, 15})) return;
        for (int round = 0; round < 5; ++round) {
            for (int next : {target, 96}) {
                RECT r = {20, 20, 30, 30};
                SendMessageW(own.hwnd(), WM_DPICHANGED, MAKEWPARAM(next, next),
                             reinterpret_cast<LPARAM>(&r));
            }
        }
        RECT r = {20, 20, 30, 30};
        SendMessageW(own.hwnd(), WM_DPICHANGED, MAKEWPARAM(target, target),
                     reinterpret_cast<LPARAM>(&r));
        const KeyRect seven = scaled(key_spec(KeyId::Num7).rect, target);
        const LPARAM at = MAKELPARAM(seven.left + seven.width / 2, seven.top + seven.height / 2);
        SendMessageW(own.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(own.hwnd(), WM_LBUTTONUP, 0, at);
        RECT client;
        GetClientRect(own.hwnd(), &client);
        *out = {own.face().dpi(), client.right, std::string(own.calculation().readout())};
        own.unload();
    };
    std::thread first(run, 144, &results[0]);
    std::thread second(run, 168, &results[1]);
    first.join();
    second.join();
    EXPECT_EQ(results[0].dpi, 144);
    EXPECT_EQ(results[0].width, scaled(210, 144));
    EXPECT_EQ(results[0].readout, "7.");
    EXPECT_EQ(results[1].dpi, 168);
    EXPECT_EQ(results[1].width, scaled(210, 168));
    EXPECT_EQ(results[1].readout, "7.");
}

}  // namespace
}  // namespace z5calc
