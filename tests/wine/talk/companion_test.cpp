#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_handles.h"
#include "gui_support.h"
#include "japanese_font.h"
#include "screen_capture.h"
#include "screen_rules.h"
#include "talk_msgbox.h"
#include "talksub.h"
#include "test_files.h"

namespace z5calc {
namespace {

std::wstring companion_built() {
    std::string utf8 = TALKZEL2_EXE;
    std::wstring wide(utf8.begin(), utf8.end());
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return L"Z:" + wide;
}

void close_kernel(HANDLE handle) noexcept {
    CloseHandle(handle);
}
using UniqueKernel = UniqueHandle<HANDLE, &close_kernel>;

HWND presented() {
    return FindWindowW(L"z5talk.Present", nullptr);
}

class CompanionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module = LoadLibraryW(dll_path().c_str()); }
    static void TearDownTestSuite() { FreeLibrary(module); }

    void SetUp() override {
        // The last test's companion may still be ending, its file still in use.
        const std::wstring copy = folder.path() + L"talkzel2.exe";
        bool copied = false;
        for (int i = 0;
             i < 100 && !(copied = CopyFileW(companion_built().c_str(), copy.c_str(), FALSE)); ++i)
            Sleep(50);
        ASSERT_TRUE(copied);
        link.appFolder = L"C:\\no such folder\\";
        link.helpFolder = folder.path();
    }
    void TearDown() override {
        // The component never ends a companion that takes commands; the test does.
        if (HWND companion = FindWindowW(kCompanionClass, kCompanionCaption)) {
            PostMessageW(companion, WM_CLOSE, 0, 0);
            for (int i = 0; i < 500 && FindWindowW(kCompanionClass, kCompanionCaption); ++i)
                Sleep(10);
        }
    }

    static HMODULE module;
    TempFolder folder{L"companion"};
    TalkLink link;
    ModalTalkWindow waiting;
};
HMODULE CompanionTest::module = nullptr;

TEST_F(CompanionTest, StartsPresentsAndAnswers) {
    UniqueHwnd caller(CreateWindowExW(0, L"STATIC", L"caller", WS_POPUP | WS_VISIBLE, 100, 200, 211,
                                      274, nullptr, nullptr, nullptr, nullptr));
    const std::wstring message = L"数値が大き過ぎます。\r\n1000までにしてください。";
    CompanionUser user(L"z5talk.Present",
                       [](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); });
    EXPECT_EQ(TalkMsgBox(caller.get(), message, MB_YESNO | MB_ICONQUESTION, link, waiting, module),
              IDYES);
    EXPECT_EQ(user.text(), message);
    HWND companion = FindWindowW(kCompanionClass, kCompanionCaption);
    ASSERT_NE(companion, nullptr);
    EXPECT_NE(GetPropW(companion, L"TalkMsg"), nullptr);
    EXPECT_FALSE(IsWindowVisible(companion));  // started quietly
    EXPECT_EQ(presented(), nullptr);           // its message window is gone with the answer
}

// The message window at the screen's DPI, and again at twice it when told of a change.
TEST_F(CompanionTest, MessageWindowIsLaidOutForItsDpi) {
    const int dpi = GetDeviceCaps(WindowDc().get(), LOGPIXELSY);
    struct Layout {
        int buttonWidth = 0, buttonHeight = 0, textLeft = 0;
        bool inside = false;
    };
    auto measure = [](HWND box) {
        RECT button = {}, text = {}, client = {};
        GetWindowRect(GetDlgItem(box, IDOK), &button);
        GetWindowRect(GetDlgItem(box, 100), &text);
        GetClientRect(box, &client);
        MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&client), 2);
        return Layout{button.right - button.left, button.bottom - button.top,
                      text.left - client.left,
                      text.right <= client.right && button.right <= client.right &&
                          button.bottom <= client.bottom};
    };
    Layout own, doubled;
    CompanionUser user(L"z5talk.Present", [&](HWND box) {
        for (int i = 0; i < 200 && !IsWindowVisible(box); ++i) Sleep(10);  // laid out, shown
        own = measure(box);
        // With Z5_SHOTS set to a folder, the window as the user sees it, saved there.
        if (const wchar_t* folder = _wgetenv(L"Z5_SHOTS")) {
            Sleep(300);
            RECT area;
            GetWindowRect(box, &area);
            save_screen_bmp(
                (std::wstring(folder) + L"\\companion-" + std::to_wstring(dpi) + L".bmp").c_str(),
                area);
        }
        SendMessageW(box, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi), 0);
        doubled = measure(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    TalkMsgBox(nullptr, L"数値が大き過ぎます。\r\n1000までにしてください。", 48, link, waiting,
               module);
    user.text();
    for (const auto& [layout, at] : {std::pair{own, dpi}, std::pair{doubled, 2 * dpi}}) {
        SCOPED_TRACE(at);
        EXPECT_EQ(layout.buttonHeight, scaled(24, at));
        EXPECT_GE(layout.buttonWidth, scaled(80, at));
        EXPECT_EQ(layout.textLeft, scaled(12 + 32 + 8 + 32 + 8, at));  // beyond both icons
        EXPECT_TRUE(layout.inside);
    }
}

// Our own windows' face draws every Japanese text they show, in any locale.
TEST(JapaneseFaceTest, OwnWindowsTextsHaveEveryGlyph) {
    ASSERT_NE(japanese_ui_face()[0], L'\0');
    UniqueHfont font(create_japanese_ui_font(96));
    for (const wchar_t* text :
         {L"数値が大き過ぎます。1000までにしてください。", L"キャンセル中止再試行無視はいいえ",
          L"おしゃべりゼル", L"ゼル電卓税込税別転記"}) {
        EXPECT_EQ(missing_glyphs(font.get(), text), L"");
    }
}

TEST_F(CompanionTest, KeysWorkAsInAMessageBox) {
    struct Case {
        UINT style;
        std::function<void(HWND)> act;
        int answer;
    };
    const Case cases[] = {
        // Enter takes the default button, here the second.
        {MB_OKCANCEL | MB_DEFBUTTON2,
         [](HWND box) { PostMessageW(GetDlgItem(box, IDCANCEL), WM_KEYDOWN, VK_RETURN, 0); },
         IDCANCEL},
        // Esc on OK alone answers OK.
        {MB_OK, [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); },
         IDOK},
        // Esc on Yes/No does nothing; the user then says No.
        {MB_YESNO,
         [](HWND box) {
             PostMessageW(GetDlgItem(box, IDYES), WM_KEYDOWN, VK_ESCAPE, 0);
             Sleep(200);
             if (IsWindow(box)) PostMessageW(box, WM_COMMAND, IDNO, 0);
         },
         IDNO},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3,
         [](HWND box) { PostMessageW(GetDlgItem(box, IDIGNORE), WM_KEYDOWN, VK_RETURN, 0); },
         IDIGNORE},
        {MB_RETRYCANCEL, [](HWND box) { PostMessageW(box, WM_COMMAND, IDRETRY, 0); }, IDRETRY},
        {MB_YESNOCANCEL,
         [](HWND box) { PostMessageW(GetDlgItem(box, IDYES), WM_KEYDOWN, VK_ESCAPE, 0); },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        CompanionUser user(L"z5talk.Present", c.act);
        EXPECT_EQ(TalkMsgBox(nullptr, L"question", static_cast<std::int16_t>(c.style), link,
                             waiting, module),
                  c.answer)
            << c.style;
    }
}

TEST_F(CompanionTest, SecondStartLeavesTheRunningOneAndCloseSendsCommandFive) {
    CompanionUser user(L"z5talk.Present", [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    ASSERT_EQ(TalkMsgBox(nullptr, L"hello", MB_OK, link, waiting, module), IDOK);
    HWND first = FindWindowW(kCompanionClass, kCompanionCaption);
    ASSERT_NE(first, nullptr);

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::wstring exe = folder.path() + L"talkzel2.exe";
    std::wstring line = L"\"" + exe + L"\" -x";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(FindWindowW(kCompanionClass, kCompanionCaption), first);

    TalkClose(link);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetPropW(first, L"TalkCmd")), 5);
    Sleep(100);
    EXPECT_TRUE(IsWindow(first));  // a companion that takes commands outlives the calculator
    EXPECT_EQ(presented(), nullptr);
}

// Hostile commands from any process: the companion named as its own reply window presents the
// message once, not again after every OK; a million characters set as its caption or into its
// message control leave it at work, and it presents the first 100,000 of them.
TEST_F(CompanionTest, HostileCommandsLeaveItAtWork) {
    CompanionUser first(L"z5talk.Present",
                        [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    ASSERT_EQ(TalkMsgBox(nullptr, L"hello", MB_OK, link, waiting, module), IDOK);
    const HWND companion = FindWindowW(kCompanionClass, kCompanionCaption);
    ASSERT_NE(companion, nullptr);
    const auto text = static_cast<HWND>(GetPropW(companion, L"TalkMsg"));
    const std::wstring huge(1000000, L'x');
    SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    SendMessageW(companion, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(huge.c_str()));
    SetWindowTextW(companion, kCompanionCaption);
    EXPECT_TRUE(IsWindow(companion));

    SetPropW(companion, L"TalkCmd", reinterpret_cast<HANDLE>(1));
    SetPropW(companion, L"TalkhWnd", companion);
    int shown = 0;
    LRESULT length = 0;
    PostMessageW(companion, WM_LBUTTONDBLCLK, 0, 0);
    for (int waited = 0; waited < 5000 && IsWindow(companion); waited += 50) {
        if (HWND box = presented(); box && IsWindowVisible(box)) {
            ++shown;
            length = SendMessageW(GetDlgItem(box, 100), WM_GETTEXTLENGTH, 0, 0);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
        }
        Sleep(50);
    }
    EXPECT_EQ(shown, 1);
    EXPECT_GE(length, 100000);  // with the line breaks the window put in
    EXPECT_LT(length, 110000);
    EXPECT_TRUE(IsWindow(companion));
}

// A word longer than a line is broken; a text taller than the screen scrolls; the window stays
// whole within the work area, however long the text.
TEST_F(CompanionTest, LongMessageIsWrappedWithinTheScreenAndScrolls) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        std::size_t length;
        bool scrolls;
    };
    for (const Case& c : {Case{300, false}, Case{100000, true}}) {
        SCOPED_TRACE(c.length);
        const std::wstring message(c.length, L'x');
        RECT box = {}, text = {};
        int shownLength = 0;
        LONG style = 0;
        CompanionUser user(L"z5talk.Present", [&](HWND present) {
            for (int i = 0; i < 500 && !IsWindowVisible(present); ++i) Sleep(10);
            GetWindowRect(present, &box);
            GetWindowRect(GetDlgItem(present, 100), &text);
            // Every character is there, with line breaks where the window broke the lines.
            // Asked of the control itself: another process's GetWindowText reads only captions.
            const HWND control = GetDlgItem(present, 100);
            std::wstring shown(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0) + 1, L'\0');
            SendMessageW(control, WM_GETTEXT, shown.size(), reinterpret_cast<LPARAM>(shown.data()));
            shownLength = static_cast<int>(std::count(shown.begin(), shown.end(), L'x'));
            style = GetWindowLongW(GetDlgItem(present, 100), GWL_STYLE);
            PostMessageW(present, WM_COMMAND, IDOK, 0);
        });
        const ULONGLONG started = GetTickCount64();
        EXPECT_EQ(TalkMsgBox(nullptr, message, MB_OK, link, waiting, module), IDOK);
        user.text();
        std::printf("%zu characters: window %ldx%ld at (%ld, %ld), answered after %llu ms\n",
                    c.length, box.right - box.left, box.bottom - box.top, box.left, box.top,
                    GetTickCount64() - started);
        EXPECT_EQ(static_cast<std::size_t>(shownLength), c.length);
        EXPECT_EQ((style & WS_VSCROLL) != 0, c.scrolls);
        EXPECT_TRUE(box.left >= work.left && box.top >= work.top && box.right <= work.right &&
                    box.bottom <= work.bottom);
        EXPECT_LE(text.right - text.left, scaled(320, GetDpiForSystem()) + 40);
    }
}

// Starts the companion from a host that ends after `ms` milliseconds: that host's process,
// null if it cannot.
UniqueKernel start_from_passing_host(const std::wstring& companion, int ms) {
    std::wstring helper = unix_to_wine_path(START_AND_WAIT_EXE);
    std::wstring line =
        L"\"" + helper + L"\" " + std::to_wstring(ms) + L" \"" + companion + L"\" -x";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(helper.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi)) {
        return UniqueKernel{};
    }
    CloseHandle(pi.hThread);
    return UniqueKernel{pi.hProcess};
}

HWND wait_for_companion_window() {
    HWND companion = nullptr;
    for (int i = 0; i < 250 && !(companion = FindWindowW(kCompanionClass, kCompanionCaption)); ++i)
        Sleep(20);
    return companion;
}

bool gone_within(HWND window, int ms) {
    for (int waited = 0; IsWindow(window) && waited < ms; waited += 50) Sleep(50);
    return !IsWindow(window);
}

TEST_F(CompanionTest, EndsOnceTheProcessesThatUsedItHaveEnded) {
    UniqueKernel starter = start_from_passing_host(folder.path() + L"talkzel2.exe", 1500);
    ASSERT_TRUE(starter);
    HWND companion = wait_for_companion_window();
    ASSERT_NE(companion, nullptr);
    ASSERT_EQ(WaitForSingleObject(starter.get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(gone_within(companion, 10000));  // its only user has ended
}

TEST_F(CompanionTest, StaysWhileAHostThatSentItAMessageRuns) {
    // The starter outlives the message, so the companion knows this process before it ends.
    UniqueKernel starter = start_from_passing_host(folder.path() + L"talkzel2.exe", 4000);
    ASSERT_TRUE(starter);
    HWND companion = wait_for_companion_window();
    ASSERT_NE(companion, nullptr);
    CompanionUser user(L"z5talk.Present", [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    ASSERT_EQ(TalkMsgBox(nullptr, L"hello", MB_OK, link, waiting, module), IDOK);
    EXPECT_EQ(FindWindowW(kCompanionClass, kCompanionCaption), companion);
    ASSERT_EQ(WaitForSingleObject(starter.get(), 10000), WAIT_OBJECT_0);
    // The starter has ended; this process used it and still runs.
    EXPECT_FALSE(gone_within(companion, 2500));
}

}  // namespace
}  // namespace z5calc
