// The companion's speech, heard through a stand-in voice registered in this test's prefix in
// the place of the system's: what it is told to say, how, and that a voice in trouble holds
// up nothing.
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc_script.h"
#include "gui_support.h"
#include "handles.h"
#include "probe_support.h"
#include "test_files.h"
#include "z5calcD_h.h"

namespace z5calc {
namespace {

constexpr wchar_t kLimitMessage[] = L"数値が大き過ぎます。\r\n1000までにしてください。";

struct Spoken {
    DWORD flags;
    std::wstring text;  // "(null)" for a call without text
};

// A text as the stand-in voice records it: UTF-8, with "\\", "\r" and "\n" escaped.
std::wstring recorded_text(const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    std::wstring text;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] != L'\\' || i + 1 == wide.size()) {
            text += wide[i];
            continue;
        }
        const wchar_t next = wide[++i];
        text += next == L'r' ? L'\r' : next == L'n' ? L'\n' : next;
    }
    return text;
}

HWND companion_window() {
    return FindWindowW(L"ThunderRT6FormDC", nullptr);
}

// Closes the companion and waits for its process to end, so that its file can be replaced.
void close_companion() {
    HWND companion = companion_window();
    if (!companion) return;
    DWORD id = 0;
    GetWindowThreadProcessId(companion, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageW(companion, WM_CLOSE, 0, 0);
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        CloseHandle(process);
    }
}

class SpeechTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        // The component as the package ships it, with the companion beside it.
        component = LoadLibraryW(unix_to_wine_path(PACKAGE_DLL).c_str());
        voice = LoadLibraryW(unix_to_wine_path(FAKE_VOICE_DLL).c_str());
        auto install = entry<HRESULT STDAPICALLTYPE()>(voice, "DllRegisterServer");
        registered = install && install() == S_OK;
    }
    static void TearDownTestSuite() {
        if (registered) entry<HRESULT STDAPICALLTYPE()>(voice, "DllUnregisterServer")();
        FreeLibrary(voice);
        FreeLibrary(component);
        CoUninitialize();
    }

    void SetUp() override {
        ASSERT_TRUE(registered) << "the stand-in voice is not registered";
        close_companion();  // a companion takes its voice's settings when it starts
        ASSERT_TRUE(CopyFileW(unix_to_wine_path(TALKZEL2_EXE).c_str(),
                              (folder.path() + L"talkzel2.exe").c_str(), FALSE));
        log = folder.path() + L"voice.log";
        SetEnvironmentVariableW(L"Z5_FAKE_VOICE_LOG", log.c_str());
        calc = make_object(component);
        ASSERT_TRUE(calc);
        // The companion is started from the help file's folder.
        UniqueBstr help((folder.path() + L"z5calc.chm").c_str());
        ASSERT_EQ(calc->SetHelpFile(help.get(), 1), S_OK);
    }
    void TearDown() override {
        close_companion();
        UniqueBstr none(L"C:\\nowhere\\missing.chm");
        if (calc) calc->SetHelpFile(none.get(), 0);
        SetEnvironmentVariableW(L"Z5_FAKE_VOICE", nullptr);
        SetEnvironmentVariableW(L"Z5_FAKE_VOICE_LOG", nullptr);
    }

    // What the voice was told, in order.
    std::vector<Spoken> spoken() const {
        std::ifstream file(narrow(log), std::ios::binary);
        std::vector<Spoken> calls;
        std::string line;
        while (std::getline(file, line)) {
            const auto tab = line.find('\t');
            if (tab == std::string::npos) continue;
            calls.push_back({static_cast<DWORD>(std::stoul(line.substr(0, tab))),
                             recorded_text(line.substr(tab + 1))});
        }
        return calls;
    }

    // The calls, once there are at least `count` of them or five seconds have gone.
    std::vector<Spoken> spoken_at_least(std::size_t count) const {
        for (int i = 0; i < 250 && spoken().size() < count; ++i) Sleep(20);
        return spoken();
    }

    // A value over the limit is transferred: the limit message goes through the companion,
    // whose user hears it out (when a voice speaks) and answers OK; `during` runs after the
    // answer, then the calculator is closed.
    double limit_message_call(
        std::wstring& shown, bool heard = true, std::function<void()> during = [] {}) {
        Script script;
        script.type(L"1001\r").then(during).type(L"\x1b");
        CompanionUser user(L"z5talk.Present", [this, heard](HWND box) {
            if (heard) spoken_at_least(1);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        script.start();
        double m = 7, mmax = 1000, result = std::nan("");
        windowstay ws = {3000, 3000, 1500, 300};
        EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
        EXPECT_TRUE(script.done());
        shown = user.text();
        return result;
    }

    static HMODULE component, voice;
    static bool registered;
    TempFolder folder{L"speech"};
    std::wstring log;
    ComPtr<_zelcalc> calc;
};
HMODULE SpeechTest::component = nullptr;
HMODULE SpeechTest::voice = nullptr;
bool SpeechTest::registered = false;

bool purge_only(const Spoken& call) {
    return call.text == L"(null)" && (call.flags & SPF_PURGEBEFORESPEAK) &&
           !(call.flags & SPF_ASYNC);
}

TEST_F(SpeechTest, LimitMessageIsSpokenAsShownWithoutWaitingAndStoppedWhenTheCalculatorCloses) {
    std::size_t beforeClose = 0;
    std::wstring shown;
    const double result = limit_message_call(shown, true, [&] {
        // The answer stops the speech; then the calculator closes (command 5).
        beforeClose = spoken_at_least(2).size();
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(shown, kLimitMessage);
    const std::vector<Spoken> calls = spoken_at_least(beforeClose + 1);
    ASSERT_GE(calls.size(), 3u);
    // Exactly the text shown, without waiting for the voice, read as text rather than markup,
    // replacing anything still being said.
    EXPECT_EQ(calls[0].text, shown);
    EXPECT_EQ(calls[0].flags,
              static_cast<DWORD>(SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML));
    EXPECT_TRUE(purge_only(calls[1])) << calls[1].flags;
    ASSERT_EQ(calls.size(), beforeClose + 1);
    EXPECT_TRUE(purge_only(calls.back())) << "command 5 stops the speech";
}

TEST_F(SpeechTest, CompanionIsFoundBesideTheComponentWhenTheHelpFolderHasNone) {
    UniqueBstr help(L"C:\\My App\\myhost.chm");
    ASSERT_EQ(calc->SetHelpFile(help.get(), 0), S_OK);
    std::wstring shown;
    EXPECT_EQ(limit_message_call(shown), 7);
    EXPECT_EQ(shown, kLimitMessage);  // the companion's window, not the standard box
    EXPECT_EQ(spoken_at_least(1).front().text, kLimitMessage);
}

TEST_F(SpeechTest, HangingVoiceHoldsUpNeitherTheMessageNorTheAnswer) {
    // The voice keeps each call 30 seconds; the host's own waits for the companion are 5.
    SetEnvironmentVariableW(L"Z5_FAKE_VOICE", L"hang");
    const ULONGLONG started = GetTickCount64();
    std::wstring shown;
    EXPECT_EQ(limit_message_call(shown), 7);
    EXPECT_EQ(shown, kLimitMessage);
    EXPECT_LT(GetTickCount64() - started, 15000u);
    EXPECT_EQ(spoken_at_least(1).front().text, kLimitMessage);
}

TEST_F(SpeechTest, FailingVoiceLeavesTheMessageShownAndAnswered) {
    SetEnvironmentVariableW(L"Z5_FAKE_VOICE", L"fail");
    std::wstring shown;
    EXPECT_EQ(limit_message_call(shown), 7);
    EXPECT_EQ(shown, kLimitMessage);
    EXPECT_EQ(spoken_at_least(1).front().text, kLimitMessage);
}

TEST_F(SpeechTest, WithoutAVoiceTheMessageIsShownSilently) {
    SetEnvironmentVariableW(L"Z5_FAKE_VOICE", L"absent");
    std::wstring shown;
    EXPECT_EQ(limit_message_call(shown, false), 7);
    EXPECT_EQ(shown, kLimitMessage);
    Sleep(200);
    EXPECT_TRUE(spoken().empty());
}

// Another program's window with the companion's class, caption and properties, that takes
// commands and never answers: the component talks past it to its own companion, and the
// companion starts although it is there.
TEST_F(SpeechTest, LookAlikeOfAnotherProgramIsPassedOver) {
    std::wstring program = unix_to_wine_path(LOOKALIKE_EXE);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(program.c_str(), program.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi));
    HWND lookalike = nullptr;
    for (int i = 0; i < 250 && !(lookalike = companion_window()); ++i) Sleep(20);
    ASSERT_TRUE(lookalike);
    std::wstring shown;
    EXPECT_EQ(limit_message_call(shown), 7);
    EXPECT_EQ(shown, kLimitMessage);  // presented by the companion itself
    EXPECT_EQ(GetPropW(lookalike, L"TalkCmd"), nullptr);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
}  // namespace z5calc
