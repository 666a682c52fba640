// The calculator from the keyboard alone: the chords beside the typed characters, and copy and
// paste of the readout's number through the clipboard.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "calc_window.h"
#include "loaded_window.h"
#include "gui_support.h"
#include "test_files.h"

namespace z5calc {
namespace {

class KeyboardTest : public LoadedWindowTest {
  protected:
    void SetUp() override {
        load_window({15, 15});
        hold(false, false, false);
    }
    void TearDown() override {
        hold(false, false, false);
        LoadedWindowTest::TearDown();
    }

    // The modifier keys as the window's thread sees them.
    static void hold(bool ctrl, bool shift, bool alt) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(state);
    }
    void type(const std::wstring& chars) {
        for (wchar_t ch : chars) SendMessageW(window.hwnd(), WM_CHAR, ch, 0);
    }
    void press(UINT vk, bool ctrl = false, bool shift = false, bool alt = false) {
        hold(ctrl, shift, alt);
        SendMessageW(window.hwnd(), WM_KEYDOWN, vk, 0);
        hold(false, false, false);
    }
    std::string readout() const { return std::string(window.calculation().readout()); }

    static void set_clipboard(const std::wstring& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }
    static std::string clipboard_ansi() {
        std::string text;
        if (!OpenClipboard(nullptr)) return "(not open)";
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
};

TEST_F(KeyboardTest, ChordsPressTheKeysTheMouseAloneReachedBefore) {
    struct Case {
        const wchar_t* typed;
        UINT vk;
        bool ctrl;
        const char* readout;
        bool mark;
    };
    const Case cases[] = {
        {L"12+34", VK_DELETE, false, "0.", false},  // CE
        {L"7", VK_F9, false, "-7.", false},         // ±
        {L"1", 'D', true, "100.", false},           // 00
        {L"1", 'K', true, "1,000.", false},         // 000
        {L"1000", 'I', true, "1,100.", false},      // tax included
        {L"1100", 'E', true, "1,000.", false},      // tax excluded
        {L"1000", 'T', true, "100.", false},        // the tax
        {L"5", 'P', true, "5.", true},              // M+
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        type(L"c");
        press('L', true);  // MC
        type(c.typed);
        press(c.vk, c.ctrl);
        EXPECT_EQ(readout(), c.readout);
        EXPECT_EQ(window.face().lblMem().Visible, c.mark);
    }
    // The memory keys one after another: MC, M+ 5, M- 2, MR gives 3, MC clears the mark.
    press('L', true);
    type(L"c5");
    press('P', true);
    type(L"2");
    press('Q', true);
    type(L"c");
    press('R', true);
    EXPECT_EQ(readout(), "3.");
    EXPECT_TRUE(window.face().lblMem().Visible);
    press('L', true);
    EXPECT_FALSE(window.face().lblMem().Visible);
}

TEST_F(KeyboardTest, ChordsNeedTheirOwnModifiersOnly) {
    type(L"c5");
    press('R', false);              // R alone is no key
    press('P', true, false, true);  // Ctrl+Alt+P is not M+
    press(VK_DELETE, false, true);  // Shift+Delete is not CE
    press(VK_F9, true);             // Ctrl+F9 is not ±
    EXPECT_EQ(readout(), "5.");
    EXPECT_FALSE(window.face().lblMem().Visible);
    type(L"+3=");  // the characters still work
    EXPECT_EQ(readout(), "8.");
}

TEST_F(KeyboardTest, CopyPutsThePlainNumberOnTheClipboard) {
    struct Case {
        const wchar_t* typed;
        const char* text;
    };
    for (const Case& c :
         {Case{L"c1200*3=", "3600"}, Case{L"c1/2=", "0.5"}, Case{L"c1/2=\x7f", "0.5"},
          Case{L"c5-8=", "-3"}, Case{L"c123456*1000=", "123456000"}}) {
        set_clipboard(L"before");
        type(c.typed);
        press('C', true);
        EXPECT_EQ(clipboard_ansi(), c.text);
        EXPECT_EQ(clipboard_unicode(), std::wstring(c.text, c.text + std::strlen(c.text)));
        set_clipboard(L"before");
        press(VK_INSERT, true);  // Ctrl+Insert
        EXPECT_EQ(clipboard_ansi(), c.text);
    }
    // "Error" copies nothing: what the clipboard held stays.
    type(L"c5/0=");
    ASSERT_EQ(readout(), "Error");
    set_clipboard(L"kept");
    press('C', true);
    EXPECT_EQ(clipboard_unicode(), L"kept");
}

// Ctrl+Shift+C: the whole tape, two columns for a spreadsheet; an empty tape copies nothing.
TEST_F(KeyboardTest, CtrlShiftCCopiesTheTape) {
    set_clipboard(L"kept");
    press('C', true, true);
    EXPECT_EQ(clipboard_unicode(), L"kept");
    type(L"1200*3=");
    press(VK_F8);
    press('I', true);  // 税込 at 8 %
    press('C', true, true);
    EXPECT_EQ(clipboard_unicode(),
              L"\u00D7\t1,200.\r\n=\t3.\r\n=\t3,600.\r\n"
              L"\u7A0E\u7387 8%\t\r\n\u7A0E\u8FBC 8%\t3,888.\r\n");
    EXPECT_EQ(readout(), "3,888.");  // the readout's own copy is untouched: Ctrl+C still is
}

// The tape from the keyboard alone: open it, scroll it, copy it, close it.
TEST_F(KeyboardTest, TapeOpensScrollsCopiesAndClosesFromTheKeyboard) {
    for (int i = 0; i < 20; ++i) type(L"1+");
    press('H', true);
    const HWND tape = FindWindowW(L"z5calc.Tape", nullptr);
    ASSERT_NE(tape, nullptr);
    EXPECT_TRUE(IsWindowVisible(tape));
    const std::size_t newest = window.tape_window().first_line();
    EXPECT_GT(newest, 0u);
    press(VK_PRIOR);
    EXPECT_LT(window.tape_window().first_line(), newest);
    press(VK_HOME, true);
    EXPECT_EQ(window.tape_window().first_line(), 0u);
    press('C', true, true);
    const std::wstring copied = clipboard_unicode();
    EXPECT_EQ(copied.substr(0, 5), L"+\t1.\r");
    EXPECT_EQ(std::count(copied.begin(), copied.end(), L'\n'), 20);
    EXPECT_NE(GetForegroundWindow(), tape);  // the keys went to the calculator throughout
    press('H', true);
    EXPECT_FALSE(IsWindowVisible(tape));
}

TEST_F(KeyboardTest, PasteTakesANumberAsTheMemoryRecallWould) {
    struct Case {
        std::wstring text;
        const char* readout;
    };
    const Case cases[] = {
        {L"3600", "3,600."},
        {L"  \u00A51,234.5=  ", "1,234.5"},
        {L"\uFF11\uFF12\uFF13\uFF14\uFF0E\uFF15", "1,234.5"},
        {L"\uFF0D\uFF17", "-7."},
        {L"-$0.25", "-0.25"},
        {L"\uFF11\uFF0C\uFF12\uFF13\uFF14\u5186", "1,234."},  // １，２３４円
        {L"\u00A51,234-", "1,234."},                          // ¥1,234-
    };
    for (const Case& c : cases) {
        type(L"c");
        set_clipboard(c.text);
        press('V', true);
        EXPECT_EQ(readout(), c.readout) << c.text.size();
        type(L"c");
        press(VK_INSERT, false, true);  // Shift+Insert
        EXPECT_EQ(readout(), c.readout) << c.text.size();
    }
    // The pasted number is used by the next operator.
    type(L"c5+");
    set_clipboard(L"10");
    press('V', true);
    type(L"=");
    type(L"c5+");
    for (const char* tag : {"MC", "AC", "1", "0", "MP", "AC", "5", "+"})
        window.calculation().press(*key_from_tag(tag));
    press('R', true);
    const std::string recalled = readout();
    type(L"=");
    EXPECT_EQ(recalled, "10.");
}

// A clipboard owner that renders on request and has hung: the paste is refused, as any paste
// that is not a number, instead of waiting for that program for ever.
TEST_F(KeyboardTest, PasteFromAHungOwnerIsRefused) {
    HANDLE owned = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        const HWND w = CreateWindowExW(0, L"STATIC", L"owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
        OpenClipboard(w);
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, nullptr);  // rendered when asked: never, it hangs
        CloseClipboard();
        SetEvent(owned);
        WaitForSingleObject(release, INFINITE);  // no messages served meanwhile
        DestroyWindow(w);
    });
    WaitForSingleObject(owned, INFINITE);
    type(L"c42+");
    press('V', true);
    EXPECT_EQ(readout(), "42.");
    SetEvent(release);
    owner.join();
    CloseHandle(owned);
    CloseHandle(release);
    set_clipboard(L"7");  // and a clipboard that answers pastes again
    press('V', true);
    EXPECT_EQ(readout(), "7.");
}

TEST_F(KeyboardTest, PasteOfAnythingElseChangesNothing) {
    const std::wstring huge(100000, L'7');
    for (const std::wstring& text :
         {std::wstring(L"abc"), std::wstring(L"1,23"), std::wstring(L"1.2.3"),
          std::wstring(L"1234567890"), std::wstring(L"-1000000000"), std::wstring(L""), huge,
          std::wstring(L"12\u00D73")}) {
        type(L"c42+");
        set_clipboard(text);
        press('V', true);
        EXPECT_EQ(readout(), "42.") << text.size();
    }
    // Nothing on the clipboard at all.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    type(L"c9");
    press('V', true);
    EXPECT_EQ(readout(), "9.");
}

TEST_F(KeyboardTest, TooltipsNameEveryKeyAndItsShortcut) {
    EXPECT_EQ(window.tooltips(), nullptr);  // no tooltips until the mouse comes
    SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    HWND tips = window.tooltips();
    ASSERT_NE(tips, nullptr);
    // A tool per key, and the rounding mark's.
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), static_cast<LRESULT>(kKeyCount + 1));
    auto tool = [&](KeyId id, wchar_t* text) {
        TTTOOLINFOW info = {};
        info.cbSize = sizeof(info);
        info.hwnd = window.hwnd();
        info.uId = static_cast<UINT_PTR>(id);
        info.lpszText = text;
        SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    };
    std::map<KeyId, std::wstring> texts;
    for (const KeyRow& entry : kKeys) {
        SCOPED_TRACE(static_cast<int>(entry.id));
        wchar_t text[80] = {};
        TTTOOLINFOW info = {};
        info.cbSize = sizeof(info);
        info.hwnd = window.hwnd();
        info.uId = static_cast<UINT_PTR>(entry.id);
        info.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
        texts[entry.id] = text;
        wchar_t ignored[80] = {};
        const RECT r = tool(entry.id, ignored).rect;
        const Control& k = window.face().key(entry.id);
        if (!k.Visible) {
            EXPECT_TRUE(IsRectEmpty(&r));  // the hidden transfer key has no tip
            continue;
        }
        EXPECT_EQ(r.left, k.Left);
        EXPECT_EQ(r.top, k.Top);
        EXPECT_EQ(r.right, k.Left + k.Width);
        EXPECT_EQ(r.bottom, k.Top + k.Height);
    }
    // Each key's name and its shortcut, one text per key.
    EXPECT_EQ(texts[KeyId::Num7], L"7 (7)");
    EXPECT_EQ(texts[KeyId::CE], L"\u30AF\u30EA\u30A2\u30A8\u30F3\u30C8\u30EA\u30FC (Delete)");
    EXPECT_EQ(texts[KeyId::Trans], L"\u8EE2\u8A18 (Enter)");
    std::set<std::wstring> distinct;
    for (const auto& [id, text] : texts) distinct.insert(text);
    EXPECT_EQ(distinct.size(), kKeyCount);
    window.show_transfer_key(true);
    wchar_t ignored[80] = {};
    const RECT shown = tool(KeyId::Trans, ignored).rect;
    EXPECT_EQ(shown.right, 210);
    EXPECT_EQ(shown.bottom, 273);
    // The mouse reaches the tooltip through the window; moving over a key is harmless.
    SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(25, 118));
    EXPECT_EQ(readout(), "0.");
}

}  // namespace
}  // namespace z5calc
