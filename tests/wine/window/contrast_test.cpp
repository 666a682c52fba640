// The calculator in a contrast theme, at the screen's DPI (CTest runs it at 96 and 192): the
// theme is given to the window's code by substituting the system calls it imports.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc_window.h"
#include "contrast_theme.h"
#include "dpi_scale.h"
#include "gui_support.h"
#include "loaded_window.h"
#include "screen_capture.h"
#include "tax_rate_text.h"

namespace z5calc {
namespace {

class ContrastTest : public LoadedWindowTest, public ::testing::WithParamInterface<ThemeColours> {
  protected:
    void SetUp() override {
        load_window({15, 15});
        dpi = window.face().dpi();
        ASSERT_TRUE(theme.applied());
        turn(true);
    }
    void turn(bool on) {
        theme.set_on(on);
        SendMessageW(window.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    }
    int s(int v) const { return scaled(v, dpi); }
    RECT key_face(KeyId id) const {
        const KeyRect r = scaled(key_spec(id).rect, dpi);
        const int inset = s(1) + s(2);
        return {r.left + inset, r.top + inset, r.left + r.width - inset, r.top + r.height - inset};
    }
    COLORREF pixel(int x, int y) { return painted_pixels(window.hwnd(), {x, y, x + 1, y + 1})[0]; }
    LPARAM centre(KeyId id) const {
        const KeyRect r = scaled(key_spec(id).rect, dpi);
        return MAKELPARAM(r.left + r.width / 2, r.top + r.height / 2);
    }
    LRESULT hit(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(window.hwnd(), &p);
        return SendMessageW(window.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    // The key's label against the face it is drawn on.
    double label_on(KeyId id, int face) {
        const RECT r = key_face(id);
        return label_contrast(painted_pixels(window.hwnd(), r), r.right - r.left,
                              theme.colour(face));
    }

    ContrastTheme theme{GetModuleHandleW(nullptr), GetParam()};
    int dpi = 96;
};

TEST_P(ContrastTest, DrawnInTheThemesColoursWithLabelsAtSevenToOne) {
    EXPECT_TRUE(window.face().contrast_theme());
    EXPECT_EQ(pixel(s(5), s(100)), theme.colour(COLOR_WINDOW));   // the body
    EXPECT_EQ(pixel(s(100), s(36)), theme.colour(COLOR_WINDOW));  // the display
    window.show_transfer_key(true);
    for (const KeyRow& row : kKeys) {
        SCOPED_TRACE(static_cast<int>(row.id));
        if (row.id != KeyId::Trans) {
            EXPECT_EQ(pixel(key_face(row.id).left, key_face(row.id).top),
                      theme.colour(COLOR_BTNFACE));
        }
        EXPECT_GE(label_on(row.id, COLOR_BTNFACE), 7.0);
    }
    show_readout(window.calculation(), "-123,456,789.");
    const RECT readout = window.face().Readout().rect();
    EXPECT_GE(label_contrast(painted_pixels(window.hwnd(), readout), readout.right - readout.left,
                             theme.colour(COLOR_WINDOW)),
              7.0);
    // The reduced rate's mark, in the theme's text colour too.
    SendMessageW(window.hwnd(), WM_KEYDOWN, VK_F8, 0);
    const RECT mark = window.rate_switch_part().rect;
    EXPECT_GE(label_contrast(painted_pixels(window.hwnd(), mark), mark.right - mark.left,
                             theme.colour(COLOR_WINDOW)),
              7.0);
}

// The tape beside it: the theme's window colour, every line (key and number) at 7:1 or more,
// and back to its own paper when the theme goes.
TEST_P(ContrastTest, TapeIsDrawnInTheThemesColours) {
    for (wchar_t ch : std::wstring(L"1080")) SendMessageW(window.hwnd(), WM_CHAR, ch, 0);
    window.click_key(KeyId::TaxIn);  // 税込 10% 1,080. / 税込 10% 1,188.
    window.toggle_tape();
    const HWND tape = FindWindowW(L"z5calc.Tape", nullptr);
    ASSERT_NE(tape, nullptr);
    RECT line = {};
    ASSERT_TRUE(window.tape_window().line_rect(0, line));
    EXPECT_EQ(painted_pixels(tape, {line.left, line.bottom, line.left + 1, line.bottom + 1})[0],
              theme.colour(COLOR_WINDOW));
    EXPECT_GE(label_contrast(painted_pixels(tape, line), line.right - line.left,
                             theme.colour(COLOR_WINDOW)),
              7.0);
    turn(false);
    EXPECT_EQ(painted_pixels(tape, {line.left, line.bottom, line.left + 1, line.bottom + 1})[0],
              RGB(0xF6, 0xFA, 0xF0));
}

// With Z5_SHOTS set to a folder, each theme's face is saved there for a person to look at.
TEST_P(ContrastTest, SavesAPictureWhenAskedTo) {
    const wchar_t* folder = _wgetenv(L"Z5_SHOTS");
    if (!folder) GTEST_SKIP() << "Z5_SHOTS not set";
    window.show_transfer_key(true);
    for (wchar_t ch : std::wstring(L"1080")) SendMessageW(window.hwnd(), WM_CHAR, ch, 0);
    window.click_key(KeyId::TaxIn);  // and the tape with what it did
    window.toggle_tape();
    show_readout(window.calculation(), "-123,456,789.");
    SendMessageW(window.hwnd(), WM_KEYDOWN, VK_F8, 0);  // with the reduced rate's mark
    const HWND tape = FindWindowW(L"z5calc.Tape", nullptr);
    SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, centre(KeyId::Num5));
    RECT area, strip = {};
    GetWindowRect(window.hwnd(), &area);
    GetWindowRect(tape, &strip);
    UnionRect(&area, &area, &strip);
    const std::wstring path = std::wstring(folder) + L"\\contrast-" +
                              std::to_wstring(GetParam().window & 1) + L"-" + std::to_wstring(dpi) +
                              L".bmp";
    EXPECT_TRUE(save_windows_bmp(path.c_str(), area, {window.hwnd(), tape}));
    SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, centre(KeyId::Num5));
}

TEST_P(ContrastTest, APressedKeyIsHighlighted) {
    SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, centre(KeyId::Num5));
    EXPECT_EQ(pixel(key_face(KeyId::Num5).left, key_face(KeyId::Num5).top),
              theme.colour(COLOR_HIGHLIGHT));
    EXPECT_GE(label_on(KeyId::Num5, COLOR_HIGHLIGHT), 7.0);
    SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, centre(KeyId::Num5));
    EXPECT_EQ(pixel(key_face(KeyId::Num5).left, key_face(KeyId::Num5).top),
              theme.colour(COLOR_BTNFACE));
}

TEST_P(ContrastTest, KeysClickAndTheBodyDrags) {
    for (KeyId id : {KeyId::Num7, KeyId::Plus, KeyId::Num8, KeyId::Equals}) {
        SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, centre(id));
        SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, centre(id));
    }
    EXPECT_EQ(std::string(window.calculation().readout()), "15.");
    const KeyRect seven = scaled(key_spec(KeyId::Num7).rect, dpi);
    EXPECT_EQ(hit(seven.left + 1, seven.top + 1), HTCLIENT);  // the skin's corner, a key here
    EXPECT_EQ(hit(s(5), s(100)), HTCAPTION);
}

TEST_P(ContrastTest, FollowsTheThemeGoingOffAndOnWhileShown) {
    turn(false);
    EXPECT_FALSE(window.face().contrast_theme());
    EXPECT_EQ(pixel(s(5), s(100)), RGB(0x50, 0xC0, 0x50));  // the skin again
    theme.set_on(true);
    SendMessageW(window.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_TRUE(window.face().contrast_theme());
    EXPECT_EQ(pixel(s(5), s(100)), theme.colour(COLOR_WINDOW));
}

INSTANTIATE_TEST_SUITE_P(BothThemes, ContrastTest, ::testing::Values(kBlackOnWhite, kWhiteOnBlack),
                         [](const auto& info) {
                             return std::string(info.param.name[0] == 'b' ? "BlackOnWhite"
                                                                          : "WhiteOnBlack");
                         });

}  // namespace
}  // namespace z5calc
