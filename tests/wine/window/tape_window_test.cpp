// The tape beside the calculator: Ctrl+H, its place, its scrolling, and its coming and going
// with the calculator; the context menu.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "calc_window.h"
#include "loaded_window.h"
#include "screen_capture.h"
#include "window_dpi.h"

namespace z5calc {
namespace {

class TapeWindowTest : public LoadedWindowTest {
  protected:
    void SetUp() override {
        // The twips per pixel the component records on this screen, so that the pictures
        // show the readout as a user sees it at 192 DPI too.
        const Dpi screen = screen_dpi();
        load_window({1440 / screen.x, 1440 / screen.y});
        SetWindowPos(window.hwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    void press(UINT vk, bool ctrl = false) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageW(window.hwnd(), WM_KEYDOWN, vk, 0);
        state[VK_CONTROL] = 0;
        SetKeyboardState(state);
    }
    void type(const std::wstring& chars) {
        for (wchar_t ch : chars) SendMessageW(window.hwnd(), WM_CHAR, ch, 0);
    }
    // The tape as a person sees it: a window kept hidden between showings is none.
    static HWND tape() {
        const HWND tape = FindWindowW(L"z5calc.Tape", nullptr);
        return tape && IsWindowVisible(tape) ? tape : nullptr;
    }
    const TapeWindow& view() const { return window.tape_window(); }
};

TEST_F(TapeWindowTest, CtrlHShowsTheNewestLinesBesideTheCalculator) {
    type(L"1+2=");
    press('H', true);
    ASSERT_NE(tape(), nullptr);
    EXPECT_TRUE(IsWindowVisible(tape()));
    EXPECT_EQ(GetForegroundWindow() == tape(), false);  // it never takes the activation
    RECT calc = {}, strip = {}, none = {};
    GetWindowRect(window.hwnd(), &calc);
    GetWindowRect(tape(), &strip);
    // Below where the screen has room (96 DPI), else at the side (192 DPI on 1024 × 768).
    EXPECT_FALSE(IntersectRect(&none, &calc, &strip));
    const int gap = scaled(4, window.face().dpi());
    EXPECT_TRUE(strip.top == calc.bottom + gap || strip.left == calc.right + gap);
    EXPECT_EQ(view().line_count(), 3u);
    EXPECT_EQ(view().first_line(), 0u);

    for (int i = 0; i < 20; ++i) type(L"1+");
    const std::size_t newest = view().line_count() - static_cast<std::size_t>(view().page());
    EXPECT_EQ(view().first_line(), newest);
    press(VK_PRIOR);
    EXPECT_EQ(view().first_line(), newest - static_cast<std::size_t>(view().page()));
    press(VK_HOME, true);
    EXPECT_EQ(view().first_line(), 0u);
    press(VK_DOWN, true);
    EXPECT_EQ(view().first_line(), 1u);
    press(VK_END, true);
    EXPECT_EQ(view().first_line(), newest);
    SendMessageW(tape(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(view().first_line(), newest - 3);

    if (const wchar_t* folder = _wgetenv(L"Z5_SHOTS")) {  // a picture for a person, on request
        type(L"c1500+2000=");  // a real calculation to show: two prices, the tax, three of them
        window.click_key(KeyId::TaxIn);
        type(L"*3=");
        RECT area;
        UnionRect(&area, &calc, &strip);
        save_windows_bmp(
            (std::wstring(folder) + L"\\tape-" + std::to_wstring(window.face().dpi()) + L".bmp")
                .c_str(),
            area, {window.hwnd(), tape()});
    }
}

TEST_F(TapeWindowTest, ComesAndGoesAndMovesWithTheCalculator) {
    press('H', true);
    ASSERT_NE(tape(), nullptr);
    RECT before = {}, after = {};
    GetWindowRect(tape(), &before);
    SetWindowPos(window.hwnd(), nullptr, 20, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    GetWindowRect(tape(), &after);
    EXPECT_EQ(after.left - before.left, 20);
    EXPECT_EQ(after.top - before.top, 10);
    // Hidden with the calculator, back just after the calculator's first paint; Ctrl+H hides it
    // for good.
    ShowWindow(window.hwnd(), SW_HIDE);
    EXPECT_EQ(tape(), nullptr);
    ShowWindow(window.hwnd(), SW_SHOWNA);
    EXPECT_EQ(tape(), nullptr);
    UpdateWindow(window.hwnd());
    EXPECT_NE(tape(), nullptr);
    press('H', true);
    EXPECT_EQ(tape(), nullptr);
    ShowWindow(window.hwnd(), SW_HIDE);
    ShowWindow(window.hwnd(), SW_SHOWNA);
    UpdateWindow(window.hwnd());
    EXPECT_EQ(tape(), nullptr);
}

int menusSeen = 0;
void CALLBACK end_menu(HWND, UINT, UINT_PTR, DWORD) {
    if (FindWindowW(L"#32768", nullptr)) {
        ++menusSeen;
        EndMenu();
    }
}

// The context menu: each command with its key, greyed where it has nothing to act on, and each
// doing what its key does.
TEST_F(TapeWindowTest, ContextMenuOffersTheTapeCopyPasteAndTheRate) {
    auto items = [&] {
        std::vector<std::pair<std::wstring, UINT>> out;
        UniqueHmenu menu = make_command_menu(window);
        for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu.get(), static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            const UINT state = GetMenuState(menu.get(), static_cast<UINT>(i), MF_BYPOSITION);
            if (!(state & MF_SEPARATOR)) out.push_back({text, state & (MF_GRAYED | MF_CHECKED)});
        }
        return out;
    };
    using Items = std::vector<std::pair<std::wstring, UINT>>;
    EXPECT_EQ(items(),
              (Items{{L"\u30C6\u30FC\u30D7\u8868\u793A\tCtrl+H", 0},
                     {L"\u30C6\u30FC\u30D7\u3092\u30B3\u30D4\u30FC\tCtrl+Shift+C", MF_GRAYED},
                     {L"\u6570\u5024\u3092\u30B3\u30D4\u30FC\tCtrl+C", 0},
                     {L"\u8CBC\u308A\u4ED8\u3051\tCtrl+V", 0},
                     {L"\u7A0E\u7387\u5207\u66FF\tF8", 0},
                     {L"\u30C6\u30FC\u30D7\u3092\u6D88\u53BB", MF_GRAYED},
                     {L"GT\u547C\u51FA\tG", 0},
                     {L"\u8A02\u6B63\tF2", MF_GRAYED},  // nothing typed to correct
                     {L"\u8A02\u6B63\u3092\u5143\u306B\u623B\u3059\tCtrl+Z", MF_GRAYED}}));
    type(L"2+3=");
    window.run_command(Command::ShowTape);
    EXPECT_NE(tape(), nullptr);
    EXPECT_EQ(items()[0].second, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(items()[1].second, 0u);
    window.run_command(Command::SwitchRate);
    EXPECT_EQ(window.calculation().tax_rate_kind(), TaxRateKind::Reduced);
    for (int i = 0; i < 20; ++i) type(L"1+");
    ASSERT_GT(view().first_line(), 0u);
    window.run_command(Command::ClearTape);
    EXPECT_EQ(view().line_count(), 0u);
    EXPECT_EQ(view().first_line(), 0u);  // the shown tape follows at once
    window.run_command(Command::ShowTape);
    EXPECT_EQ(tape(), nullptr);

    // Shift+F10 or the Menu key, and a right click on the readout, open it.
    menusSeen = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &end_menu);
    SendMessageW(window.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.hwnd()), -1);
    const RECT readout = window.face().Readout().rect();
    const LPARAM at = MAKELPARAM(readout.left + 4, readout.top + 4);
    SendMessageW(window.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageW(window.hwnd(), WM_RBUTTONUP, 0, at);
    KillTimer(nullptr, timer);
    EXPECT_EQ(menusSeen, 2);
}

// F2 selects the newest typed number, Up and Down the others (results are skipped), a click on
// the tape another; typing shows the new number on its line while the readout keeps the
// result; Esc leaves it, Enter corrects, and the keys then work the calculator again.
TEST_F(TapeWindowTest, CorrectionWalksTheTypedNumbersAndEditsInPlace) {
    press(VK_F2);  // nothing typed yet: nothing to correct, and no tape for it
    EXPECT_FALSE(window.correcting());
    EXPECT_EQ(tape(), nullptr);
    type(L"5+6=7*2=");  // + 5. / = 6. / = 11. / × 7. / = 2. / = 14.
    const Tape& lines = window.calculation().tape();
    auto selected = [&] {
        const auto line = window.correcting();
        return line ? std::string(lines.line_numbered(*line)->number.view()) : std::string("none");
    };
    press(VK_F2);
    ASSERT_NE(tape(), nullptr);  // opened for it
    EXPECT_EQ(selected(), "2.");
    std::string walked;
    for (UINT vk : {VK_UP, VK_UP, VK_UP, VK_UP, VK_DOWN}) {
        press(vk);
        walked += selected() + " ";
    }
    EXPECT_EQ(walked, "7. 6. 5. 5. 6. ");  // 11. is a result; 5. the first
    type(L"8");
    EXPECT_EQ(std::string(view().line(*view().marked_line()).number.view()), "8.");
    EXPECT_EQ(window.calculation().readout(), "14.");
    press(VK_UP);  // a typed number stays until Enter or Esc
    EXPECT_EQ(selected(), "6.");
    type(L"\x1b");
    EXPECT_FALSE(window.correcting());
    EXPECT_NE(window.hwnd(), nullptr);  // Esc left the correction, not the calculator

    RECT row = {};
    ASSERT_TRUE(view().line_rect(2, row));  // = 11., a result: a click there selects nothing
    SendMessageW(tape(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_FALSE(window.correcting());
    ASSERT_TRUE(view().line_rect(0, row));
    SendMessageW(tape(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 2, row.top + 2));
    EXPECT_EQ(selected(), "5.");
    type(L"9\r");
    EXPECT_FALSE(window.correcting());
    EXPECT_EQ(window.calculation().readout(), "14.");  // 9 + 6 = 15; 7 × 2 = 14 as before
    EXPECT_EQ(std::string(lines[2].number.view()), "15.");
    type(L"+1=");
    EXPECT_EQ(window.calculation().readout(), "15.");

    // A line the full tape drops while it is being corrected ends the correction.
    type(L"c");
    for (std::size_t i = 0; i < Tape::kCapacity / 2; ++i) type(L"1+");
    press(VK_F2);
    for (int i = 0; i < 200; ++i) press(VK_UP);
    ASSERT_TRUE(window.correcting());
    const std::uint64_t oldest = *window.correcting();
    // As a host's timer might work it, the correction aside.
    for (int i = 0; i < 400 && lines.line_numbered(oldest); ++i) {
        window.calculation().press({KeyGroup::Number, 1});
        window.calculation().press({KeyGroup::Operator, 4});  // +
    }
    EXPECT_FALSE(window.correcting());
    EXPECT_FALSE(view().marked_line());

    if (const wchar_t* folder = _wgetenv(L"Z5_SHOTS")) {  // a picture for a person, on request
        type(L"c1500+2000+800=");
        press(VK_F2);
        press(VK_UP);
        type(L"2500");
        RECT calc = {}, strip = {}, area = {};
        GetWindowRect(window.hwnd(), &calc);
        GetWindowRect(tape(), &strip);
        UnionRect(&area, &calc, &strip);
        save_windows_bmp((std::wstring(folder) + L"\\correction-" +
                          std::to_wstring(window.face().dpi()) + L".bmp")
                             .c_str(),
                         area, {window.hwnd(), tape()});
    }
}

}  // namespace
}  // namespace z5calc
