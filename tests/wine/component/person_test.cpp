// The calculator as a person works it from a host's field, under the window manager: real keys
// and clicks, the readout as a screen reader reads it, and the number the field receives.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "calc_script.h"
#include "gdi_handles.h"
#include "gui_support.h"
#include "person.h"
#include "screen_capture.h"

namespace z5calc {
namespace {

constexpr double kStart = 1234.5;

struct Row {
    const char* what;
    const wchar_t* keys;    // typed first
    const wchar_t* clicks;  // then clicks on the keys or menu items so named (space-separated)
    enum Target { kNothing, kReadout, kTape } rightClick;
    const wchar_t* seen;  // the readout then, and " テープ" while the tape is shown
    bool menu;            // a popup menu is then up (Esc closes it)
    const wchar_t* close;
    double received;  // what the host's field gets
    // The tape's lines from the call's start line on, as the host reads them ("key number|").
    const wchar_t* tape = nullptr;
    // With a limit: the closing keys bring up the limit message, which the person answers with
    // `answer` once it is in front, then types `after` into the calculator.
    double mmax = 0;
    const wchar_t* answer = nullptr;  // keys, or "{CLICK}" for a click on its OK
    const wchar_t* after = L"";
    POINT hostAt = {60, 60};             // the host window's place on the screen
    bool standardBox = false;            // the host's settings choose the standard message box
    const wchar_t* clipboard = nullptr;  // how the clipboard's text then ends
};

const Row kRows[] = {
    {"a sum typed, Enter transfers", L"450+50=", L"", Row::kNothing, L"500.", false, L"~", 500},
    {"Ctrl+H on a result shows the tape and keeps the number", L"450+50=^h", L"", Row::kNothing,
     L"500. テープ", false, L"~", 500},
    {"Ctrl+H twice on an entry", L"1000^h^h", L"", Row::kNothing, L"1,000.", false, L"~", 1000},
    {"Backspace takes back a digit", L"123{BS}", L"", Row::kNothing, L"12.", false, L"~", 12},
    {"Delete clears the entry", L"5+7{DEL}8", L"", Row::kNothing, L"8.", false, L"=~", 13},
    {"Esc closes and the field keeps its value", L"9", L"", Row::kNothing, L"9.", false, L"{ESC}",
     kStart},
    {"keys clicked", L"", L"5 足す 6 イコール", Row::kNothing, L"11.", false, L"~", 11},
    {"F9 changes the sign", L"5{F9}", L"", Row::kNothing, L"-5.", false, L"~", -5},
    {"Ctrl+D and Ctrl+K add zeros", L"1^d^k", L"", Row::kNothing, L"100,000.", false, L"~", 100000},
    {"memory (kept across calls): Ctrl+P adds, Ctrl+R recalls", L"^l7^p{DEL}^r", L"", Row::kNothing,
     L"7.", false, L"~", 7},
    {"percent: the transfer completes a 10 % markup", L"200+10%", L"", Row::kNothing, L"20.", false,
     L"~", 220},
    {"Ctrl+I: the price with tax at the standard rate, 10 % where the host's file names none",
     L"1000^i", L"", Row::kNothing, L"1,100.", false, L"~", 1100},
    {"F8 then Ctrl+I: price with the reduced rate", L"1000{F8}^i", L"", Row::kNothing, L"1,080.",
     false, L"~", 1080},
    {"C clears all, then a division", L"9c8/2=", L"", Row::kNothing, L"4.", false, L"~", 4},
    {"minus and the decimal point", L"5-0.25=", L"", Row::kNothing, L"4.75", false, L"~", 4.75},
    {"memory: Ctrl+Q subtracts", L"^l9^p4^q{DEL}^r", L"", Row::kNothing, L"5.", false, L"~", 5},
    {"memory: Ctrl+L clears", L"7^p^l{DEL}^r", L"", Row::kNothing, L"0.", false, L"~", 0},
    {"Ctrl+E: the price without the reduced rate's tax", L"{F8}1080^e", L"", Row::kNothing,
     L"1,000.", false, L"~", 1000},
    {"Ctrl+T: the reduced rate's tax", L"{F8}1000^t", L"", Row::kNothing, L"80.", false, L"~", 80},
    {"Ctrl+C copies the number, Ctrl+V pastes it", L"1234^cc^v", L"", Row::kNothing, L"1,234.",
     false, L"~", 1234},
    {"a right click on the readout opens the menu", L"12", L"", Row::kReadout, L"12.", true, L"~",
     12},
    {"a right click on the tape opens the menu", L"12^h", L"", Row::kTape, L"12. テープ", true,
     L"~", 12},
    {"Shift+F10 opens the menu", L"12{+F10}", L"", Row::kNothing, L"12.", true, L"~", 12},
    {"over the limit: the companion's message answered with Enter, then the keys work again",
     L"1001^h", L"", Row::kNothing, L"1,001. テープ", false, L"~", 500, nullptr, 1000, L"~",
     L"{DEL}500~", POINT{280, 450}},
    {"= right after an operator writes its result", L"1+1+=5=", L"", Row::kNothing, L"5.", false,
     L"~", 5, L"+ 1.|+ 1.|= 2.|= 5.|転記 5.|"},
    {"a tax key writes its lines once, and the transfer no = after them", L"100^i", L"",
     Row::kNothing, L"110.", false, L"~", 110, L"税込 10% 100.|税込 10% 110.|転記 110.|"},
    {"backspace on a result, the memory keys and the rate switch each write a line",
     L"123={BS}^p{F8}^r^l", L"", Row::kNothing, L"12.", false, L"~", 12,
     L"= 123.|← 12.|M+ 12.|税率 8% |MR 12.|MC 12.|転記 12.|"},
    {"the tape beside a field low on the screen covers neither it nor the calculator", L"7^h", L"",
     Row::kNothing, L"7. テープ", false, L"~", 7, nullptr, 0, nullptr, L"", POINT{280, 450}},
    {"x and * multiply", L"2*3x4=", L"", Row::kNothing, L"24.", false, L"~", 24},
    {"Ctrl+Shift+C copies the tape", L"7+8=^C", L"", Row::kNothing, L"15.", false, L"~", 15,
     nullptr, 0, nullptr, L"", POINT{60, 60}, false, L"+\t7.\r\n=\t8.\r\n=\t15.\r\n"},
    {"the Menu key opens the menu", L"12{APPS}", L"", Row::kNothing, L"12.", true, L"~", 12},
    {"menu: テープ表示 shows the tape", L"12", L"テープ表示", Row::kReadout, L"12. テープ", false,
     L"~", 12},
    {"menu: テープをコピー", L"2+3=", L"テープをコピー", Row::kReadout, L"5.", false, L"~", 5,
     nullptr, 0, nullptr, L"", POINT{60, 60}, false, L"+\t2.\r\n=\t3.\r\n=\t5.\r\n"},
    {"menu: 数値をコピー, then Ctrl+V", L"1234", L"数値をコピー", Row::kReadout, L"1,234.", false,
     L"c^v~", 1234, nullptr, 0, nullptr, L"", POINT{60, 60}, false, L"1234"},
    {"menu: 貼り付け", L"5678^cc", L"貼り付け", Row::kReadout, L"5,678.", false, L"~", 5678},
    {"menu: 税率切替, then Ctrl+I", L"1000", L"税率切替", Row::kReadout, L"1,000.", false, L"^i~",
     1080},
    {"menu: テープを消去, then the transfer starts the tape anew", L"9+1=", L"テープを消去",
     Row::kReadout, L"10.", false, L"~", 10, L"= 10.|転記 10.|"},
    {"F2 corrects an entry, Up picks the one before, Enter works the chain again",
     L"100+20+3={F2}{UP}50~", L"", Row::kNothing, L"153. テープ", false, L"~", 153,
     L"+ 100.|+ 50. 訂|= 3.|= 153.|転記 153.|"},
    {"Esc leaves a correction, the second Esc closes", L"8+1={F2}5{ESC}", L"", Row::kNothing,
     L"9. テープ", false, L"{ESC}", kStart},
    {"a click on a line of the tape corrects it", L"100+20+3=^h", L"足す、20.", Row::kNothing,
     L"123. テープ", false, L"50~~", 153},
    {"Ctrl+Z takes the correction back", L"7+2={F2}3~^z", L"", Row::kNothing, L"9. テープ", false,
     L"~", 9},
    {"G twice clears the grand total, G recalls it", L"gg5+5=g", L"", Row::kNothing, L"10.", false,
     L"~", 10},
    {"menu: GT呼出", L"GG4+4=", L"GT呼出", Row::kReadout, L"8.", false, L"~", 8},
    {"menu: 訂正, then the number and Enter", L"6+1=", L"訂正", Row::kReadout, L"7. テープ", false,
     L"2~~", 8},
    {"menu: 訂正を元に戻す", L"6+1={F2}2~", L"訂正を元に戻す", Row::kReadout, L"7. テープ", false,
     L"~", 7},
    {"over the limit: the companion's message answered with a click on OK", L"2000", L"",
     Row::kNothing, L"2,000.", false, L"~", 900, nullptr, 1000, L"{CLICK}", L"{DEL}900~"},
    {"over the limit with the standard box (MsgMode=1), OK clicked", L"2000", L"", Row::kNothing,
     L"2,000.", false, L"~", 700, nullptr, 1000, L"{CLICK}", L"{DEL}700~", POINT{60, 60}, true},
    {"over the limit with the standard box, answered with Enter", L"2000", L"", Row::kNothing,
     L"2,000.", false, L"~", 800, nullptr, 1000, L"~", L"{DEL}800~", POINT{60, 60}, true},
};

// The host's copy of the tape, from the newest start line (dropped) on, in one line of text.
std::wstring tape_since_start(_zelcalc* calc) {
    ComPtr<_zelcalc2> calc2;
    UniqueBstr text;
    if (calc->QueryInterface(IID__zelcalc2, calc2.put_void()) != S_OK ||
        calc2->get_Tape(text.put()) != S_OK)
        return L"(no tape)";
    std::wstring lines(text.view());
    lines = lines.substr(lines.find(L'\n', lines.rfind(L"開始")) + 1);
    std::replace(lines.begin(), lines.end(), L'\t', L' ');
    lines.erase(std::remove(lines.begin(), lines.end(), L'\r'), lines.end());
    std::replace(lines.begin(), lines.end(), L'\n', L'|');
    return lines;
}

// Whether window `over` (when there is one) lies over any of `under` on the screen.
bool lies_over(HWND over, HWND under) {
    RECT a = {}, b = {}, common = {};
    return over && GetWindowRect(over, &a) && GetWindowRect(under, &b) &&
           IntersectRect(&common, &a, &b);
}

// A person who reads the message that comes to the front and answers it with keys; it notes
// whether the tape lay over any of it.
class MessageReader {
  public:
    explicit MessageReader(const wchar_t* keys) : thread_([this, keys] { read(keys); }) {}
    ~MessageReader() {
        if (thread_.joinable()) thread_.join();
    }
    // Once the message was answered.
    bool tape_was_over() {
        if (thread_.joinable()) thread_.join();
        return tapeOver_;
    }

  private:
    void read(const wchar_t* keys) {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // a screen reader's own thread
        for (const ULONGLONG end = GetTickCount64() + 10000; GetTickCount64() < end; Sleep(20)) {
            const HWND front = window_in_front();
            wchar_t name[64] = L"";
            GetClassNameW(front, name, 64);
            if (std::wstring(name) != L"z5talk.Present" && std::wstring(name) != L"#32770")
                continue;
            Sleep(100);  // read first
            tapeOver_ = lies_over(window_named(L"テープ"), front);
            if (std::wstring(keys) == L"{CLICK}") {
                click_at(centre_of(GetDlgItem(front, IDOK)));
            } else {
                type_keys(keys);
            }
            break;
        }
        CoUninitialize();
    }

    bool tapeOver_ = false;
    std::thread thread_;
};

class PersonTest : public ComponentCallTest {
  protected:
    static void SetUpTestSuite() {
        ComponentCallTest::SetUpTestSuite();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"z5person.host";
        RegisterClassW(&wc);
        host = CreateWindowExW(0, wc.lpszClassName, L"請求書", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60,
                               60, 420, 200, nullptr, nullptr, wc.hInstance, nullptr);
        field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 20, 20, 140,
                                26, host, nullptr, wc.hInstance, nullptr);
    }
    void SetUp() override {
        ComponentCallTest::SetUp();
        // The companion is started from the help file's folder.
        const std::string built = TALKZEL2_EXE;
        std::wstring source(built.begin(), built.end());
        std::replace(source.begin(), source.end(), L'/', L'\\');
        ASSERT_TRUE(CopyFileW((L"Z:" + source).c_str(),
                              (companion_.path() + L"talkzel2.exe").c_str(), FALSE));
        UniqueBstr help((companion_.path() + L"z5calc.chm").c_str());
        ASSERT_EQ(calc->SetHelpFile(help.get(), 1), S_OK);
        write_bytes(companion_.path() + L"standard.ini", "[Setup]\r\nMsgMode=1\r\n");
    }
    void TearDown() override {
        if (HWND companion = FindWindowW(L"ThunderRT6FormDC", nullptr)) {
            PostMessageW(companion, WM_CLOSE, 0, 0);
            for (int i = 0; i < 500 && IsWindow(companion); ++i) Sleep(10);
        }
    }
    static void TearDownTestSuite() {
        DestroyWindow(host);
        ComponentCallTest::TearDownTestSuite();
    }

    // As the demo gives it: level with the field, of no width, just right of the host window.
    static windowstay field_place() {
        RECT r = {}, form = {};
        GetWindowRect(field, &r);
        GetWindowRect(host, &form);
        HDC screen = GetDC(nullptr);
        const float twips = 1440.0f / static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
        return {r.top * twips, (form.right + 4) * twips, 0, (r.bottom - r.top) * twips};
    }

    // One row, from the field having the keyboard to the number in it.
    void work(const Row& row) {
        // A host file that names no rate, or one that chooses the standard message box.
        UniqueBstr app(row.standardBox ? (companion_.path() + L"standard.ini").c_str()
                                       : L"z5person");
        ASSERT_EQ(calc->SetAppName(app.get()), S_OK);
        SetForegroundWindow(host);
        SetFocus(field);
        SetWindowPos(host, nullptr, row.hostAt.x, row.hostAt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        std::wstring seen, tapeCovers;
        bool menu = false;
        Script script;
        // A person starts once the calculator is in front with the keyboard.
        script.until([] {
            const HWND front = window_in_front();
            return GetFocus() == front && readout_read(front).text.find(L'(') != 0;
        });
        // The tape, shown once, stays shown for later calls: each row starts without it.
        script.then([&] {
            if (window_named(L"テープ")) type_keys(L"^h");
        });
        script.then([&] { type_keys(row.keys); });
        if (row.rightClick != Row::kNothing) script.then([&] { right_click(row.rightClick); });
        std::wistringstream names(row.clicks);
        for (std::wstring name; names >> name;) script.then([name] { click_named(name); });
        script.then([&] {
            seen = what_is_seen();
            if ((menu = menu_shown())) {
                save_menu_picture();
                type_keys(L"{ESC}");
            }
            tapeCovers = tape_covers(window_in_front());
        });
        script.then([&] { type_keys(row.close); });
        if (*row.after) script.then([&] { type_keys(row.after); });
        std::optional<MessageReader> reader;
        if (row.answer) reader.emplace(row.answer);
        script.start();
        double m = kStart, mmax = row.mmax, result = std::nan("");
        windowstay ws = field_place();
        ASSERT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
        EXPECT_TRUE(script.done());
        if (reader) {
            EXPECT_FALSE(reader->tape_was_over()) << "the tape lies over the message";
        }
        std::wostringstream text;
        text << result;
        SetWindowTextW(field, text.str().c_str());

        EXPECT_EQ(seen, row.seen);
        EXPECT_EQ(menu, row.menu);
        EXPECT_EQ(tapeCovers, L"");
        EXPECT_EQ(result, row.received);
        if (row.tape) {
            EXPECT_EQ(tape_since_start(calc.get()), row.tape);
        }
        if (row.clipboard) {
            EXPECT_TRUE(clipboard_unicode().ends_with(row.clipboard))
                << narrow(clipboard_unicode());
        }
        EXPECT_TRUE(focus_comes_back()) << "the keyboard is back in the field";
    }

    // The readout as a screen reader reads it, and the tape when it is shown beside it.
    static std::wstring what_is_seen() {
        const std::wstring readout = readout_read(window_in_front()).text;
        return window_named(L"テープ") ? readout + L" テープ" : readout;
    }

    static void right_click(Row::Target target) {
        if (target == Row::kReadout) click_at(readout_read(window_in_front()).centre, true);
        if (target != Row::kTape) return;
        const HWND tape = window_named(L"テープ");
        ASSERT_NE(tape, nullptr);
        click_at(centre_of(tape), true);
    }

    // A key of the calculator or a line of the tape, or an item of the menu while one is up.
    static void click_named(const std::wstring& name) {
        POINT at = {};
        const bool found = menu_shown() ? menu_item_centre(name, at)
                                        : child_centre(window_in_front(), name, at) ||
                                              child_centre(window_named(L"テープ"), name, at);
        EXPECT_TRUE(found) << narrow(name);
        click_at(at);
    }

    // With Z5_SHOTS set to a folder, the menu as a person sees it, saved there.
    static void save_menu_picture() {
        const wchar_t* folder = _wgetenv(L"Z5_SHOTS");
        RECT area = {};
        const HWND menu = FindWindowW(L"#32768", nullptr);
        if (!folder || !GetWindowRect(menu, &area)) return;
        UpdateWindow(menu);  // drawn before it is taken
        const int dpi = GetDeviceCaps(WindowDc().get(), LOGPIXELSY);
        save_screen_bmp(
            (std::wstring(folder) + L"\\menu-" + std::to_wstring(dpi) + L".bmp").c_str(), area);
    }

    // What the shown tape lies over of the field and the calculator: "" when nothing.
    static std::wstring tape_covers(HWND calculator) {
        const HWND tape = window_named(L"テープ");
        std::wstring covered;
        if (lies_over(tape, field)) covered += L"field ";
        if (lies_over(tape, calculator)) covered += L"calculator";
        return covered;
    }

    // The window manager gives the host its activation back; a person's next key comes some
    // milliseconds after the calculator closed.
    static bool focus_comes_back() {
        const ULONGLONG end = GetTickCount64() + 1000;
        while (GetFocus() != field && GetTickCount64() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(10);
        }
        return GetFocus() == field;
    }

    TempFolder companion_{L"person"};
    static inline HWND host = nullptr, field = nullptr;
};

TEST_F(PersonTest, EveryRowAsAPersonWorksIt) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        work(row);
    }
}

}  // namespace
}  // namespace z5calc
