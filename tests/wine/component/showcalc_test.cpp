#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_handles.h"
#include "calc_script.h"
#include "contrast_theme.h"
#include "gui_support.h"
#include "handles.h"
#include "test_files.h"
#include "z5calcD_h.h"
#include "zelcalc.h"

namespace z5calc {
namespace {

// The readout's pixels as the calculator window paints them.
// The digits' band: below the marks (「GT」 comes with a transfer's result).
std::vector<COLORREF> readout_pixels() {
    return painted_pixels(calc_window(), {14, 49, 191, 66});
}

class ShowcalcTest : public ComponentCallTest {
  protected:
    // Runs showcalc with the script started; fails the test if the call fails.
    double show(Script& script, double m, double mmax = 0,
                windowstay ws = {3000, 3000, 1500, 300}) {
        script.start();
        const double m_before = m, mmax_before = mmax;
        const windowstay ws_before = ws;
        double result = std::nan("");
        EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
        EXPECT_TRUE(script.done());
        // The host's values are never written.
        EXPECT_EQ(m, m_before);
        EXPECT_EQ(mmax, mmax_before);
        EXPECT_EQ(std::memcmp(&ws, &ws_before, sizeof(ws)), 0);
        return result;
    }
};

TEST_F(ShowcalcTest, TypedCalculationIsTransferredWithEnter) {
    Script script;
    script.type(L"2+3").type(L"\r");
    EXPECT_EQ(show(script, 0), 5);
    EXPECT_EQ(calc_window(), nullptr);
}

TEST_F(ShowcalcTest, ClickedCalculationIsTransferredWithTheTransferKey) {
    Script script;
    script.click(L"2").click(L"+").click(L"3").click(L"TRANS");
    EXPECT_EQ(show(script, 0), 5);
}

TEST_F(ShowcalcTest, ClosingWithoutTransferReturnsTheStartingValue) {
    struct Case {
        const char* how;
        std::function<void(Script&)> close;
    };
    const Case cases[] = {
        {"Esc", [](Script& s) { s.type(L"9\x1b"); }},
        {"OFF key", [](Script& s) { s.type(L"9").click(L"OFF"); }},
        {"system close",
         [](Script& s) {
             s.type(L"9").then([] { PostMessageW(calc_window(), WM_SYSCOMMAND, SC_CLOSE, 0); });
         }},
    };
    for (const Case& c : cases) {
        Script script;
        c.close(script);
        EXPECT_EQ(show(script, 1234.5678), 1234.5678) << c.how;
        EXPECT_EQ(calc_window(), nullptr) << c.how;
    }
}

TEST_F(ShowcalcTest, StartingValueIsThePendingResult) {
    Script script;
    script.type(L"X2\r");
    EXPECT_EQ(show(script, 21.5), 43);
}

TEST_F(ShowcalcTest, LimitRefusesWithTheMessageAndKeepsTheWindowOpen) {
    struct Case {
        const wchar_t* typed;
        double mmax;
        const wchar_t* limitText;
    };
    for (const Case& c : {Case{L"1001", 1000, L"1000"}, Case{L"2", 1.5, L"1.5"}}) {
        Script script;
        std::wstring text;
        bool seen = false;
        bool openAfter = false;
        script.type(std::wstring(c.typed) + L"\r")
            .then([&] { openAfter = IsWindowVisible(calc_window()) != FALSE; })
            .type(L"\x1b");
        MessageBoxWatch watch(L"z5calc");
        EXPECT_EQ(show(script, 7, c.mmax), 7) << narrow(c.typed);
        seen = watch.seen(text);
        EXPECT_TRUE(seen);
        EXPECT_EQ(text, std::wstring(L"数値が大き過ぎます。\r\n") + c.limitText +
                            L"までにしてください。");
        EXPECT_TRUE(openAfter);
    }
}

TEST_F(ShowcalcTest, ValueAtTheLimitIsAccepted) {
    struct Case {
        const wchar_t* typed;
        double mmax, result;
    };
    for (const Case& c : {Case{L"1000\r", 1000, 1000}, Case{L"0-1000\r", 1000, -1000},
                          Case{L"99999999\r", 0, 99999999}}) {
        Script script;
        script.type(c.typed);
        EXPECT_EQ(show(script, 0, c.mmax), c.result) << narrow(c.typed);
    }
}

TEST_F(ShowcalcTest, MemoryAndOperandsSurviveIntoTheNextCall) {
    Script first;
    first.type(L"5").click(L"MP").type(L"\x1b");
    EXPECT_EQ(show(first, 0), 0);
    Script second;
    second.click(L"MR").type(L"\r");
    EXPECT_EQ(show(second, 0), 5);
}

TEST_F(ShowcalcTest, WindowCarriesTheCalculatorIcon) {
    HICON icon = nullptr;
    Script script;
    script
        .then([&] { icon = reinterpret_cast<HICON>(GetClassLongPtrW(calc_window(), GCLP_HICON)); })
        .type(L"\x1b");
    show(script, 0);
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// A contrast theme reaches the component through its own imports of the system's calls:
// the calculator is drawn in the theme's colours, and in its skin again once the theme goes.
TEST_F(ShowcalcTest, ContrastThemeDrawsTheCalculatorInItsColours) {
    ContrastTheme theme(GetModuleHandleW(L"z5calcD.dll"), kWhiteOnBlack);
    ASSERT_TRUE(theme.applied());
    auto pixel = [](int x, int y) {
        const std::vector<COLORREF> p = painted_pixels(calc_window(), {x, y, x + 1, y + 1});
        return p.empty() ? CLR_INVALID : p[0];
    };
    COLORREF body = 0, key = 0, skin = 0;
    Script script;
    script.then([&] { body = pixel(5, 100), key = pixel(13, 106); })
        .type(L"2+3")
        .then([&] {
            theme.set_on(false);
            SendMessageW(calc_window(), WM_SYSCOLORCHANGE, 0, 0);
            skin = pixel(5, 100);
        })
        .type(L"\r");
    EXPECT_EQ(show(script, 0), 5);
    EXPECT_EQ(body, theme.colour(COLOR_WINDOW));
    EXPECT_EQ(key, theme.colour(COLOR_BTNFACE));
    EXPECT_EQ(skin, RGB(0x50, 0xC0, 0x50));
}

TEST_F(ShowcalcTest, HostWindowsAreDisabledDuringTheDisplay) {
    UniqueHwnd host(CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100,
                                    100, nullptr, nullptr, nullptr, nullptr));
    bool enabledDuring = true;
    Script script;
    script.then([&] { enabledDuring = IsWindowEnabled(host.get()) != FALSE; }).type(L"\x1b");
    show(script, 0);
    EXPECT_FALSE(enabledDuring);
    EXPECT_TRUE(IsWindowEnabled(host.get()));
}

// Counts the calculator window's activations; at the first, the user types Esc at once, so
// that the Esc waits among the events that the activation step processes.
int calcActivations = 0;
LRESULT CALLBACK count_activations(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && msg->message == WM_ACTIVATE && LOWORD(msg->wParam) != WA_INACTIVE &&
        msg->hwnd == calc_window() && calcActivations++ == 0) {
        PostMessageW(msg->hwnd, WM_CHAR, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ShowcalcTest, WindowClosedDuringItsActivationIsNotBroughtBack) {
    calcActivations = 0;
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, count_activations, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Script none;
    EXPECT_EQ(show(none, 7), 7);
    UnhookWindowsHookEx(hook);
    // Hidden by the Esc, the window is not made the foreground window again.
    EXPECT_EQ(calcActivations, 1);
}

TEST_F(ShowcalcTest, WindowIsPlacedLevelWithTheFieldAndKeptOnTheScreen) {
    RECT placed = {}, kept = {};
    Script script;
    script.then([&] { GetWindowRect(calc_window(), &placed); }).type(L"\x1b");
    show(script, 0, 0, {3000, 1500, 1500, 300});  // field at (100, 200) pixels, 20 high
    const int height = placed.bottom - placed.top;
    EXPECT_EQ(placed.left, 100);
    EXPECT_NEAR(placed.top, 200 + (20 - height) / 2.0, 1);

    Script off;
    off.then([&] { GetWindowRect(calc_window(), &kept); }).type(L"\x1b");
    const float far_right = GetSystemMetrics(SM_CXSCREEN) * 15.0f;
    const float far_down = GetSystemMetrics(SM_CYSCREEN) * 15.0f;
    show(off, 0, 0, {far_down, far_right, 1500, 300});
    EXPECT_EQ(kept.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(kept.bottom, GetSystemMetrics(SM_CYSCREEN));
}

// A host that converts its field's pixels with 1440 / DPI finds the calculator on the field at
// any DPI (the suite runs this at 120, 144 and 192 DPI too).
TEST_F(ShowcalcTest, WindowIsPlacedOnTheFieldAtTheScreensDpi) {
    HDC screen = GetDC(nullptr);
    const double dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const double twips = 1440.0 / dpi;
    RECT placed = {}, kept = {};
    Script script;
    script.then([&] { GetWindowRect(calc_window(), &placed); }).type(L"\x1b");
    // The field at (100, 400) pixels, 20 high: room above and below for the largest window.
    show(script, 0, 0,
         {static_cast<float>(400 * twips), static_cast<float>(100 * twips),
          static_cast<float>(150 * twips), static_cast<float>(20 * twips)});
    const int height = placed.bottom - placed.top;
    EXPECT_NEAR(placed.left, 100, 1) << dpi;
    EXPECT_NEAR(placed.top, 400 + (20 - height) / 2.0, 1) << dpi;

    // Past the screen's bottom-right corner it is kept on the screen, in the same pixels.
    Script off;
    off.then([&] { GetWindowRect(calc_window(), &kept); }).type(L"\x1b");
    const float right = static_cast<float>(GetSystemMetrics(SM_CXSCREEN) * twips);
    const float bottom = static_cast<float>(GetSystemMetrics(SM_CYSCREEN) * twips);
    show(off, 0, 0,
         {bottom, right, static_cast<float>(150 * twips), static_cast<float>(20 * twips)});
    EXPECT_EQ(kept.right, GetSystemMetrics(SM_CXSCREEN)) << dpi;
    EXPECT_EQ(kept.bottom, GetSystemMetrics(SM_CYSCREEN)) << dpi;
}

TEST_F(ShowcalcTest, PositionIsSavedOnlyAtTheRealClose) {
    wchar_t appData[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    const std::wstring ini = std::wstring(appData) + L"\\qorvan\\z5calc.ini";
    WritePrivateProfileStringW(L"Window", nullptr, nullptr, ini.c_str());
    wchar_t during[32] = {};
    Script script;
    script
        .then([&] {
            GetPrivateProfileStringW(L"Window", L"frmCalc_Left", L"none", during, 32, ini.c_str());
        })
        .type(L"\x1b");
    show(script, 0, 0, {3000, 1500, 1500, 300});
    EXPECT_EQ(std::wstring(during), L"none");
    wchar_t left[32] = {}, top[32] = {};
    GetPrivateProfileStringW(L"Window", L"frmCalc_Left", L"none", left, 32, ini.c_str());
    GetPrivateProfileStringW(L"Window", L"frmCalc_Top", L"none", top, 32, ini.c_str());
    EXPECT_EQ(std::wstring(left), L"1500");
    EXPECT_NE(std::wstring(top), L"none");
}

TEST_F(ShowcalcTest, NestedCallRestoresTheEarlierWindowWithoutItsTransferKey) {
    double inner = 0;
    LRESULT transAfter = 0;
    bool visibleAfter = false;
    std::vector<COLORREF> shownBefore, shownAfter;
    Script outer;
    outer.type(L"7")
        .then([&] { shownBefore = readout_pixels(); })
        .then([&] {
            // The host calls again from inside the display, as a host's timer may.
            Script nested;
            nested.type(L"8\r");
            double m = 1, mmax = 0, result = 0;
            windowstay ws = {3000, 3000, 1500, 300};
            nested.start();
            EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
            inner = result;
        })
        .then([&] {
            visibleAfter = IsWindowVisible(calc_window()) != FALSE;
            shownAfter = readout_pixels();
            POINT p = key_centre(KeyId::Trans);
            ClientToScreen(calc_window(), &p);
            transAfter = SendMessageW(calc_window(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        })
        .then([] { PostMessageW(calc_window(), WM_CLOSE, 0, 0); });
    show(outer, 0);
    EXPECT_EQ(inner, 8);
    EXPECT_TRUE(visibleAfter);
    EXPECT_EQ(transAfter, HTCAPTION);  // the transfer key is hidden again
    // The earlier readout ("7.") is back, not the nested call's "8.".
    ASSERT_FALSE(shownBefore.empty());
    EXPECT_TRUE(shownBefore == shownAfter);
    EXPECT_EQ(calc_window(), nullptr);
}

TEST_F(ShowcalcTest, LateBoundCallTakesTheRecordAndTransfers) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(calc->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    // The record's description from the DLL's own type library; nothing is registered.
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(dll_path().c_str(), REGKIND_NONE, library.put()), S_OK);
    ComPtr<ITypeInfo> recordType;
    ASSERT_EQ(library->GetTypeInfoOfGuid(kWindowstayGuid, recordType.put()), S_OK);
    ComPtr<IRecordInfo> recordInfo;
    ASSERT_EQ(GetRecordInfoFromTypeInfo(recordType.get(), recordInfo.put()), S_OK);

    double m = 6, mmax = 0;
    windowstay ws = {3000, 3000, 1500, 300};
    VARIANT args[3];  // last argument first
    args[2].vt = VT_R8 | VT_BYREF;
    args[2].pdblVal = &m;
    args[1].vt = VT_RECORD | VT_BYREF;
    args[1].pvRecord = &ws;
    args[1].pRecInfo = recordInfo.get();
    args[0].vt = VT_R8 | VT_BYREF;
    args[0].pdblVal = &mmax;
    DISPPARAMS params = {args, nullptr, 3, 0};
    VARIANT result;
    VariantInit(&result);
    Script script;
    script.type(L"X7\r");
    script.start();
    ASSERT_EQ(dispatch->Invoke(0x60030002, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr,
                               nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_R8);
    EXPECT_EQ(result.dblVal, 42);
    EXPECT_EQ(m, 6);
    EXPECT_EQ(ws.Wleft, 3000);
}

TEST_F(ShowcalcTest, HelpKeyWithAMissingHelpFileChangesNothing) {
    UniqueBstr help(L"C:\\nowhere\\missing.chm");
    ASSERT_EQ(calc->SetHelpFile(help.get(), 5), S_OK);
    // The help viewer is loaded when help is first asked for: F1 must ask for it.
    bool viewerBefore = true, viewerAfterF1 = false;
    Script script;
    script
        .then([&] {
            viewerBefore = GetModuleHandleW(L"hhctrl.ocx") != nullptr;
            PostMessageW(calc_window(), WM_KEYDOWN, VK_F1, 0);
        })
        .then([&] {
            viewerAfterF1 = GetModuleHandleW(L"hhctrl.ocx") != nullptr;
            PostMessageW(calc_window(), WM_HELP, 0, 0);
        })
        .type(L"4\r");
    EXPECT_EQ(show(script, 0), 4);
    EXPECT_FALSE(viewerBefore);
    EXPECT_TRUE(viewerAfterF1);
}

TEST_F(ShowcalcTest, QuitMessageEndsTheDisplayAndReachesTheHostLoop) {
    Script script;
    script.type(L"9").then([] { PostQuitMessage(3); });
    EXPECT_EQ(show(script, 2.5), 2.5);
    EXPECT_EQ(calc_window(), nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(ShowcalcTest, TalkModeLimitMessageGoesThroughTheCompanion) {
    TempFolder folder(L"talkmode");
    std::string built = TALKZEL2_EXE;
    std::wstring source(built.begin(), built.end());
    std::replace(source.begin(), source.end(), L'/', L'\\');
    ASSERT_TRUE(
        CopyFileW((L"Z:" + source).c_str(), (folder.path() + L"talkzel2.exe").c_str(), FALSE));
    // The companion is started from the help file's folder.
    UniqueBstr help((folder.path() + L"z5calc.chm").c_str());
    ASSERT_EQ(calc->SetHelpFile(help.get(), 1), S_OK);

    bool openAfter = false;
    Script script;
    script.type(L"1001\r")
        .then([&] { openAfter = IsWindowVisible(calc_window()) != FALSE; })
        .type(L"\x1b");
    CompanionUser user(L"z5talk.Present", [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(show(script, 7, 1000), 7);
    EXPECT_EQ(user.text(), L"数値が大き過ぎます。\r\n1000までにしてください。");
    EXPECT_TRUE(openAfter);
    if (HWND companion = FindWindowW(L"ThunderRT6FormDC", nullptr)) {
        // The calculator's close told it so: command 5.
        EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropW(companion, L"TalkCmd")), 5);
        PostMessageW(companion, WM_CLOSE, 0, 0);
        for (int i = 0; i < 500 && IsWindow(companion); ++i) Sleep(10);
    } else {
        ADD_FAILURE() << "the companion is not running";
    }
    UniqueBstr none(L"C:\\nowhere\\missing.chm");
    calc->SetHelpFile(none.get(), 0);
}

}  // namespace
}  // namespace z5calc
