#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_handles.h"
#include "gui_support.h"
#include "program_window.h"
#include "talk_msgbox.h"
#include "talksub.h"
#include "test_files.h"

namespace z5calc {
namespace {

// A companion window that records what the component does to it, in this process.
class FakeCompanion {
  public:
    // Hang: stops pumping inside the command; Stall: takes it and stops pumping afterwards.
    enum class OnTrigger { Answer, Vanish, Hang, Stall, Record };

    FakeCompanion(const wchar_t* className, bool takesCommands,
                  OnTrigger onTrigger = OnTrigger::Record)
        : onTrigger_(onTrigger) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &FakeCompanion::main_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        main = CreateWindowExW(0, className, kCompanionCaption, WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (takesCommands) {
            msgEdit = make_edit();
            fileEdit = make_edit();
            SetPropW(main, L"TalkMsg", msgEdit);
            SetPropW(main, L"TalkFile", fileEdit);
        }
    }
    ~FakeCompanion() {
        for (HWND w : {msgEdit, fileEdit}) {
            if (IsWindow(w)) DestroyWindow(w);
        }
        if (IsWindow(main)) {
            for (const wchar_t* p : {L"TalkMsg", L"TalkFile", L"TalkCmd", L"TalkhWnd", L"TalkIcon",
                                     L"TalkX", L"TalkY", L"TalkSel"}) {
                RemovePropW(main, p);
            }
            DestroyWindow(main);
        }
    }

    INT_PTR prop(const wchar_t* name) const {
        return reinterpret_cast<INT_PTR>(GetPropW(main, name));
    }

    HWND main = nullptr, msgEdit = nullptr, fileEdit = nullptr;
    std::vector<std::wstring> events;  // "msg:<text>", "file:<text>", "trigger", "close"
    bool propertiesBeforeTexts = true;
    INT_PTR answer = IDYES;
    RECT replyRect = {};  // where the window to answer to was at the trigger

  private:
    HWND make_edit() {
        HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
        SetWindowLongPtrW(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&edit_proc)));
        return edit;
    }
    static LRESULT CALLBACK edit_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FakeCompanion*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_SETTEXT) {
            // TalkCmd is the first of the properties and never 0: it must be there already.
            if (!GetPropW(self->main, L"TalkCmd")) self->propertiesBeforeTexts = false;
            self->events.push_back((hwnd == self->msgEdit ? L"msg:" : L"file:") +
                                   std::wstring(reinterpret_cast<const wchar_t*>(lParam)));
        }
        return CallWindowProcW(self->editProc_, hwnd, message, wParam, lParam);
    }
    static LRESULT CALLBACK main_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FakeCompanion*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_LBUTTONDBLCLK) {
            self->events.push_back(L"trigger");
            switch (self->onTrigger_) {
                case OnTrigger::Answer:
                    if (self->prop(L"TalkCmd") == 1) {
                        GetWindowRect(reinterpret_cast<HWND>(self->prop(L"TalkhWnd")),
                                      &self->replyRect);
                        SetPropW(hwnd, L"TalkSel", reinterpret_cast<HANDLE>(self->answer));
                        PostMessageW(reinterpret_cast<HWND>(self->prop(L"TalkhWnd")),
                                     WM_LBUTTONDBLCLK, 0, 0);
                    }
                    break;
                case OnTrigger::Vanish:
                    PostMessageW(hwnd, WM_CLOSE, 0, 0);
                    break;
                case OnTrigger::Hang:
                    Sleep(8000);
                    break;
                case OnTrigger::Stall:
                    PostMessageW(hwnd, WM_APP, 0, 0);
                    break;
                case OnTrigger::Record:
                    break;
            }
            return 0;
        }
        if (self && message == WM_APP) Sleep(7000);
        if (self && message == WM_CLOSE) {
            self->events.push_back(L"close");
            DestroyWindow(hwnd);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    OnTrigger onTrigger_;
    WNDPROC editProc_ = nullptr;
};

// Records the command lines instead of starting anything, and takes this process's fakes for
// the companion's windows.
struct RecordingStarter final : CompanionProgram {
    bool start(const std::wstring& application, const std::wstring& commandLine,
               DWORD) noexcept override {
        applications.push_back(application);
        commandLines.push_back(commandLine);
        return false;
    }
    bool owns(HWND window, const std::vector<std::wstring>&) noexcept override {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process == GetCurrentProcessId();
    }
    std::vector<std::wstring> applications, commandLines;
};

TalkLink link_for_test(CompanionProgram* starter) {
    TalkLink link;
    link.appFolder = L"C:\\App Folder\\";
    link.program = starter;
    return link;
}

const wchar_t kLimitMessage[] = L"数値が大き過ぎます。\r\n1000までにしてください。";

TEST(TalkSend, PropertiesAndTextsArriveBeforeTheTrigger) {
    FakeCompanion companion(kCompanionClass, true);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    UniqueHwnd reply(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr));
    TalkSend(link, 1, reply.get(), kLimitMessage, 48, 0, 0, L"");
    EXPECT_EQ(link.talkWnd, companion.main);
    EXPECT_EQ(companion.events, (std::vector<std::wstring>{std::wstring(L"msg:") + kLimitMessage,
                                                           L"file:", L"trigger"}));
    EXPECT_TRUE(companion.propertiesBeforeTexts);
    EXPECT_EQ(companion.prop(L"TalkCmd"), 1);
    EXPECT_EQ(companion.prop(L"TalkhWnd"), reinterpret_cast<INT_PTR>(reply.get()));
    EXPECT_EQ(companion.prop(L"TalkIcon"), 48);
    EXPECT_EQ(companion.prop(L"TalkX"), 0);
    EXPECT_EQ(companion.prop(L"TalkY"), 0);
    EXPECT_TRUE(starter.commandLines.empty());

    // Values are widened with their sign.
    TalkSend(link, -2, nullptr, L"x", -1, -3, 4, L"f");
    EXPECT_EQ(companion.prop(L"TalkCmd"), -2);
    EXPECT_EQ(companion.prop(L"TalkIcon"), -1);
    EXPECT_EQ(companion.prop(L"TalkX"), -3);
}

TEST(TalkSend, StandardModeSendsNothing) {
    FakeCompanion companion(kCompanionClass, true);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    link.msgMode = 1;
    TalkSend(link, 1, nullptr, L"text", 48, 0, 0, L"");
    EXPECT_TRUE(companion.events.empty());
    EXPECT_EQ(companion.prop(L"TalkCmd"), 0);
}

TEST(TalkSend, OlderClassNameIsUsedToo) {
    FakeCompanion companion(kOlderCompanionClass, true);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    TalkSend(link, 1, nullptr, L"old", 0, 0, 0, L"");
    EXPECT_EQ(link.talkWnd, companion.main);
    EXPECT_EQ(companion.events.back(), L"trigger");
}

TEST(TalkClose, CommandFiveToACompanionThatTakesCommandsAndCloseToOneThatDoesNot) {
    RecordingStarter starter;
    {
        FakeCompanion companion(kCompanionClass, true);
        TalkLink link = link_for_test(&starter);
        TalkClose(link);
        EXPECT_EQ(companion.events, (std::vector<std::wstring>{L"msg:", L"file:", L"trigger"}));
        EXPECT_EQ(companion.prop(L"TalkCmd"), 5);
        EXPECT_EQ(companion.prop(L"TalkhWnd"), 0);
        EXPECT_EQ(companion.prop(L"TalkIcon"), 0);
    }
    for (std::int16_t mode : {0, 1}) {
        FakeCompanion silent(kCompanionClass, false);
        TalkLink link = link_for_test(&starter);
        link.msgMode = mode;
        TalkClose(link);
        EXPECT_EQ(silent.events, std::vector<std::wstring>{L"close"}) << mode;
    }
    // Nothing there: nothing is started for a close.
    TalkLink link = link_for_test(&starter);
    TalkClose(link);
    EXPECT_TRUE(starter.commandLines.empty());
}

TEST(TalkFindCompanion, StartsItFromTheHelpFolderThenFromTheComponentFolder) {
    struct Case {
        const wchar_t* helpFolder;
        std::vector<std::wstring> commandLines;  // in the order tried, none starting
    };
    for (const Case& c :
         {Case{L"C:\\Host\\",
               {L"\"C:\\Host\\talkzel2.exe\" -x", L"\"C:\\App Folder\\talkzel2.exe\" -x"}},
          Case{L"C:\\App Folder\\", {L"\"C:\\App Folder\\talkzel2.exe\" -x"}},
          Case{L"", {L"\"C:\\App Folder\\talkzel2.exe\" -x"}}}) {
        RecordingStarter starter;
        TalkLink link = link_for_test(&starter);
        link.helpFolder = c.helpFolder;
        TalkFindCompanion(link);
        EXPECT_EQ(link.talkWnd, nullptr);
        EXPECT_EQ(starter.commandLines, c.commandLines) << narrow(c.helpFolder);
        ASSERT_FALSE(starter.applications.empty());
        EXPECT_EQ(starter.applications.back(), L"C:\\App Folder\\talkzel2.exe");
    }
    // One that takes no commands is closed and the companion restarted, without "-x".
    FakeCompanion stale(kCompanionClass, false);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    link.helpFolder = L"C:\\Host\\";
    TalkFindCompanion(link);
    EXPECT_EQ(stale.events, std::vector<std::wstring>{L"close"});
    ASSERT_EQ(starter.commandLines.size(), 1u);
    EXPECT_EQ(starter.commandLines[0], L"\"C:\\App Folder\\talkzel2.exe\"");
}

TEST(ProgramWindow, AWindowIsKnownByItsProgramsFileHoweverItIsSpelled) {
    UniqueHwnd own(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                   nullptr, nullptr));
    const std::wstring self = own_program_file();
    std::wstring upper = self;
    CharUpperW(upper.data());
    wchar_t shortName[MAX_PATH] = {};
    GetShortPathNameW(self.c_str(), shortName, MAX_PATH);
    struct Case {
        std::wstring file;
        bool runs;
    };
    for (const Case& c : {Case{self, true}, Case{upper, true}, Case{shortName, true},
                          Case{L"C:\\windows\\system32\\notepad.exe", false},
                          Case{self + L".missing", false}, Case{L"", false}}) {
        EXPECT_EQ(window_runs_one_of(own.get(), {c.file}), c.runs) << narrow(c.file);
    }
    EXPECT_FALSE(window_runs_one_of(nullptr, {self}));
}

// A fake companion on a thread of its own, so that it can stop pumping while the test waits.
class CompanionThread {
  public:
    explicit CompanionThread(FakeCompanion::OnTrigger onTrigger) : onTrigger_(onTrigger) {
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
        ready = WaitForSingleObject(ready_, 10000) == WAIT_OBJECT_0;
    }
    CompanionThread(const CompanionThread&) = delete;
    CompanionThread& operator=(const CompanionThread&) = delete;
    ~CompanionThread() {
        SetEvent(done_);
        WaitForSingleObject(thread_, 20000);
        for (HANDLE h : {thread_, ready_, done_}) CloseHandle(h);
    }
    bool ready = false;

  private:
    static DWORD WINAPI run(void* param) {
        auto* self = static_cast<CompanionThread*>(param);
        SetThreadDesktop(self->desktop_);
        FakeCompanion companion(kCompanionClass, true, self->onTrigger_);
        SetEvent(self->ready_);
        MSG msg;
        while (WaitForSingleObject(self->done_, 0) == WAIT_TIMEOUT) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(5);
        }
        return 0;
    }

    FakeCompanion::OnTrigger onTrigger_;
    HDESK desktop_ = GetThreadDesktop(GetCurrentThreadId());
    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread_ = nullptr;
};

TEST(TalkSend, HungCompanionReleasesTheHostWithinTheTimeOut) {
    CompanionThread companion(FakeCompanion::OnTrigger::Hang);
    ASSERT_TRUE(companion.ready);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    const ULONGLONG before = GetTickCount64();
    EXPECT_FALSE(TalkSend(link, 1, nullptr, L"hello", 0, 0, 0, L""));
    const ULONGLONG took = GetTickCount64() - before;
    EXPECT_LT(took, kCompanionTimeoutMs + 2000u);
}

TEST(SendText, AnAnsiCompanionGetsTheSystemCodePage) {
    const std::wstring text = kLimitMessage;
    HWND ansi = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    HWND wide = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_FALSE(IsWindowUnicode(ansi));
    ASSERT_TRUE(send_text(ansi, text));
    ASSERT_TRUE(send_text(wide, text));
    char bytes[256] = {};
    GetWindowTextA(ansi, bytes, sizeof(bytes));
    char expected[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, expected, sizeof(expected), nullptr, nullptr);
    EXPECT_STREQ(bytes, expected) << "code page " << GetACP();
    wchar_t back[256] = {};
    GetWindowTextW(wide, back, 256);
    EXPECT_EQ(std::wstring(back), text);  // a Unicode companion always gets it intact
    if (GetACP() == 932) {
        // On a Japanese system the ANSI path keeps the Japanese too.
        GetWindowTextW(ansi, back, 256);
        EXPECT_EQ(std::wstring(back), text);
    }
    std::printf("ANSI code page %u\n", GetACP());
    DestroyWindow(ansi);
    DestroyWindow(wide);
}

class TalkMessageTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module = LoadLibraryW(dll_path().c_str()); }
    static void TearDownTestSuite() { FreeLibrary(module); }
    static HMODULE module;
    ModalTalkWindow waiting;
};
HMODULE TalkMessageTest::module = nullptr;

TEST_F(TalkMessageTest, CompanionAnswersAndTheWaitEnds) {
    FakeCompanion companion(kCompanionClass, true, FakeCompanion::OnTrigger::Answer);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    UniqueHwnd caller(CreateWindowExW(0, L"STATIC", L"caller", WS_POPUP | WS_VISIBLE, 100, 200, 211,
                                      274, nullptr, nullptr, nullptr, nullptr));
    companion.answer = IDYES;
    EXPECT_EQ(TalkMsgBox(caller.get(), kLimitMessage, 0x1030, link, waiting, module), IDYES);
    EXPECT_EQ(companion.events.front(), std::wstring(L"msg:") + kLimitMessage);
    EXPECT_EQ(companion.prop(L"TalkIcon"), 0x1030);  // the companion gets the whole style
    // The waiting window: one pixel at the centre of the caller, (205.5, 337).
    EXPECT_EQ(companion.replyRect.left, 205);
    EXPECT_EQ(companion.replyRect.top, 337);
    EXPECT_EQ(companion.replyRect.right - companion.replyRect.left, 1);
    EXPECT_EQ(companion.replyRect.bottom - companion.replyRect.top, 1);
    EXPECT_TRUE(IsWindowEnabled(caller.get()));

    // An empty message is given one ideographic space to say.
    companion.events.clear();
    companion.answer = IDNO;
    EXPECT_EQ(TalkMsgBox(caller.get(), L"", 48, link, waiting, module), IDNO);
    EXPECT_EQ(companion.events.front(), L"msg:\u3000");
}

TEST_F(TalkMessageTest, FocusGoesBackWhereItWasAfterTheWait) {
    FakeCompanion companion(kCompanionClass, true, FakeCompanion::OnTrigger::Answer);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    UniqueHwnd caller(CreateWindowExW(0, L"STATIC", L"caller", WS_POPUP | WS_VISIBLE, 100, 100, 200,
                                      100, nullptr, nullptr, nullptr, nullptr));
    HWND field = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20,
                                 caller.get(), nullptr, nullptr, nullptr);
    SetForegroundWindow(caller.get());
    SetFocus(field);
    ASSERT_EQ(GetFocus(), field);
    EXPECT_EQ(TalkMsgBox(caller.get(), L"focus", 0, link, waiting, module), IDYES);
    EXPECT_EQ(GetFocus(), field);
}

TEST_F(TalkMessageTest, CompanionGoneDuringTheWaitEndsItWithThePreviousAnswer) {
    std::int16_t previous = 0;
    {
        FakeCompanion answering(kCompanionClass, true, FakeCompanion::OnTrigger::Answer);
        answering.answer = IDRETRY;
        RecordingStarter starter;
        TalkLink link = link_for_test(&starter);
        previous = TalkMsgBox(nullptr, L"first", 0, link, waiting, module);
    }
    ASSERT_EQ(previous, IDRETRY);
    FakeCompanion vanishing(kCompanionClass, true, FakeCompanion::OnTrigger::Vanish);
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    EXPECT_EQ(TalkMsgBox(nullptr, L"second", 0, link, waiting, module), IDRETRY);
}

// The user at the keyboard, once the wait has the focus: Esc, as real input.
void press_escape_in(HWND wait) {
    for (int i = 0; i < 250 && GetForegroundWindow() != wait; ++i) Sleep(20);
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_ESCAPE;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

TEST_F(TalkMessageTest, CompanionThatDoesNotAnswerGivesWayToTheStandardBox) {
    using Does = FakeCompanion::OnTrigger;
    struct Case {
        const char* name;
        Does does;
        bool userPressesEsc;
    };
    for (const Case& c : {Case{"never takes the message", Does::Hang, false},
                          Case{"stops pumping after taking it", Does::Stall, false},
                          Case{"takes it and says nothing", Does::Record, true}}) {
        CompanionThread companion(c.does);
        ASSERT_TRUE(companion.ready) << c.name;
        RecordingStarter starter;
        TalkLink link = link_for_test(&starter);
        std::unique_ptr<CompanionUser> user;
        if (c.userPressesEsc)
            user = std::make_unique<CompanionUser>(L"z5calc.frmModalTalk", press_escape_in);
        MessageBoxWatch watch(L"z5calc", std::chrono::seconds(20));
        const ULONGLONG before = GetTickCount64();
        EXPECT_EQ(TalkMsgBox(nullptr, kLimitMessage, MB_OK, link, waiting, module), IDOK) << c.name;
        std::wstring text;
        EXPECT_TRUE(watch.seen(text)) << c.name;
        EXPECT_EQ(text, kLimitMessage) << c.name;
        std::printf("%s: the standard box after %llu ms\n", c.name, GetTickCount64() - before);
    }
}

TEST_F(TalkMessageTest, WithoutACompanionTheStandardBoxAppears) {
    RecordingStarter starter;  // cannot start anything
    TalkLink link = link_for_test(&starter);
    MessageBoxWatch watch(L"z5calc");
    EXPECT_EQ(TalkMsgBox(nullptr, kLimitMessage, 48, link, waiting, module), IDOK);
    std::wstring text;
    ASSERT_TRUE(watch.seen(text));
    EXPECT_EQ(text, kLimitMessage);
    EXPECT_EQ(starter.commandLines.size(), 1u);
}

// Centred on the window it is about, in a font that draws its Japanese, whatever the locale.
TEST_F(TalkMessageTest, StandardBoxIsCentredOnItsOwnerAndReadable) {
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    link.msgMode = 1;
    UniqueHwnd owner(CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 150, 120, 211,
                                     274, nullptr, nullptr, nullptr, nullptr));
    MessageBoxWatch watch(L"z5calc");
    EXPECT_EQ(TalkMsgBox(owner.get(), kLimitMessage, 48, link, waiting, module), IDOK);
    std::wstring text;
    ASSERT_TRUE(watch.seen(text));
    const RECT box = watch.rect();
    const POINT centre = centre_of(owner.get());
    EXPECT_NEAR((box.left + box.right) / 2, centre.x, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, centre.y, 1);
    EXPECT_EQ(watch.missing_glyphs(), L"");
}

TEST_F(TalkMessageTest, StandardModeKeepsTheLowTenBitsAndAnEmptyText) {
    RecordingStarter starter;
    TalkLink link = link_for_test(&starter);
    link.msgMode = 1;
    MessageBoxWatch watch(L"z5calc");
    EXPECT_EQ(TalkMsgBox(nullptr, L"", 0x1030, link, waiting, module), IDOK);
    std::wstring text = L"unset";
    ASSERT_TRUE(watch.seen(text));
    EXPECT_EQ(text, L"");
    EXPECT_TRUE(starter.commandLines.empty());
}

}  // namespace
}  // namespace z5calc
