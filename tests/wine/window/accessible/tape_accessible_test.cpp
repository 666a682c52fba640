// The tape as screen readers see it: a list of its lines, read from another process, and the
// events a list raises as lines come, go and are cleared.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "accessible_fixture.h"

namespace z5calc {
namespace {

std::vector<std::pair<DWORD, long>> tapeEvents;  // WinEvents from the tape, with child ids
HWND tapeHwnd = nullptr;

void CALLBACK on_tape_event(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG childId, DWORD,
                            DWORD) {
    if (hwnd == tapeHwnd && object == OBJID_CLIENT) tapeEvents.push_back({event, childId});
}

class TapeAccessibleTest : public AccessibleTest {
  protected:
    void SetUp() override {
        AccessibleTest::SetUp();
        type(L"12*3=");  // × 12. / = 3. / = 36.
        window.toggle_tape();
        tapeHwnd = FindWindowW(L"z5calc.Tape", nullptr);
        ASSERT_NE(tapeHwnd, nullptr);
        ASSERT_EQ(AccessibleObjectFromWindow(tapeHwnd, static_cast<DWORD>(OBJID_CLIENT),
                                             kAccessibleIid, reinterpret_cast<void**>(tape.put())),
                  S_OK);
    }
    void TearDown() override {
        tape.reset();
        AccessibleTest::TearDown();
    }
    void type(const std::wstring& chars) {
        for (wchar_t ch : chars) SendMessageW(window.hwnd(), WM_CHAR, ch, 0);
    }
    ComPtr<IAccessible> tape;
};

TEST_F(TapeAccessibleTest, ReaderInAnotherProcessReadsTheLinesAsListItems) {
    TempFolder folder(L"tape-reader");
    const std::wstring out = folder.path() + L"tape.txt";
    HANDLE process = start_screen_reader(SCREEN_READER_EXE, tapeHwnd, out, {});
    ASSERT_NE(process, nullptr);
    std::wstring text;
    ASSERT_EQ(finish_screen_reader(process, out, text), 0u);
    const std::wstring item = L"\t" + std::to_wstring(ROLE_SYSTEM_LISTITEM) + L"\t";
    const std::wstring noValue =
        L"\t(" + std::to_wstring(static_cast<long>(DISP_E_MEMBERNOTFOUND)) + L")\t\n";
    EXPECT_EQ(text.substr(0, text.find(L"after")),
              L"1" + item + L"\u639B\u3051\u308B\u300112." + noValue +           // 掛ける、12.
                  L"2" + item + L"\u30A4\u30B3\u30FC\u30EB\u30013." + noValue +  // イコール、3.
                  L"3" + item + L"\u30A4\u30B3\u30FC\u30EB\u300136." + noValue);
}

TEST_F(TapeAccessibleTest, IsAListWithItsLinesInViewPlacedAndTheRestOffScreen) {
    EXPECT_EQ(text_of(tape.get(), &IAccessible::get_accName, CHILDID_SELF), L"\u30C6\u30FC\u30D7");
    VARIANT v;
    ASSERT_EQ(tape->get_accRole(child(CHILDID_SELF), &v), S_OK);
    EXPECT_EQ(v.lVal, ROLE_SYSTEM_LIST);
    for (int i = 0; i < 30; ++i) type(L"1+");
    const long count = static_cast<long>(window.tape_window().line_count());
    long reported = 0;
    ASSERT_EQ(tape->get_accChildCount(&reported), S_OK);
    EXPECT_EQ(reported, count);
    long l = 0, t = 0, w = 0, h = 0;
    ASSERT_EQ(tape->accLocation(&l, &t, &w, &h, child(count)), S_OK);  // the newest, in view
    RECT strip = {};
    GetWindowRect(tapeHwnd, &strip);
    EXPECT_TRUE(l >= strip.left && t >= strip.top && l + w <= strip.right && t + h <= strip.bottom);
    VARIANT hit;
    ASSERT_EQ(tape->accHitTest(l + w / 2, t + h / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, count);
    ASSERT_EQ(tape->get_accState(child(1), &v), S_OK);  // the oldest is scrolled away
    EXPECT_EQ(v.lVal, STATE_SYSTEM_READONLY | STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_SELECTABLE);
    EXPECT_EQ(tape->accLocation(&l, &t, &w, &h, child(1)), S_FALSE);
    EXPECT_EQ(tape->get_accRole(child(count + 1), &v), E_INVALIDARG);

    window.toggle_tape();  // the window is kept hidden; a reader that kept the object is told so
    ASSERT_EQ(tape->get_accState(child(CHILDID_SELF), &v), S_OK);
    EXPECT_EQ(v.lVal, STATE_SYSTEM_READONLY | STATE_SYSTEM_INVISIBLE);
}

TEST_F(TapeAccessibleTest, NewLinesClearsAndTheDroppedOldestRaiseListEvents) {
    tapeEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &on_tape_event,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    type(L"4+");  // line 4
    pump_messages();
    EXPECT_EQ(tapeEvents, (std::vector<std::pair<DWORD, long>>{{EVENT_OBJECT_CREATE, 4}}));
    for (std::size_t i = window.tape_window().line_count(); i < Tape::kCapacity; ++i) type(L"1+");
    pump_messages();
    tapeEvents.clear();
    type(L"2+");  // the tape is full: the oldest goes, the newest comes as the last item
    pump_messages();
    EXPECT_EQ(tapeEvents, (std::vector<std::pair<DWORD, long>>{{EVENT_OBJECT_DESTROY, 1},
                                                               {EVENT_OBJECT_CREATE, 300}}));
    tapeEvents.clear();
    window.calculation().clear_tape();
    pump_messages();
    EXPECT_EQ(tapeEvents,
              (std::vector<std::pair<DWORD, long>>{{EVENT_OBJECT_REORDER, CHILDID_SELF}}));
    UnhookWinEvent(hook);
}

// A correction: its line is the list's selection, read with the number typed; made, the line
// and those after it are read anew, from another process too.
TEST_F(TapeAccessibleTest, CorrectionIsTheSelectionAndItsLinesAreReadAnew) {
    TempFolder folder(L"tape-correction");
    const std::wstring out = folder.path() + L"tape.txt";
    auto read_tape = [&] {
        std::wstring text;
        HANDLE process = start_screen_reader(SCREEN_READER_EXE, tapeHwnd, out, {});
        EXPECT_EQ(finish_screen_reader(process, out, text), 0u);
        return text;
    };
    tapeEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, &on_tape_event,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    window.run_command(Command::Correct);  // the newest typed number: = 3.
    type(L"4");
    pump_messages();
    VARIANT state;
    ASSERT_EQ(tape->get_accState(child(2), &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_SELECTED);
    const std::wstring item = L"\t" + std::to_wstring(ROLE_SYSTEM_LISTITEM) + L"\t";
    std::wstring text = read_tape();
    EXPECT_NE(text.find(L"2" + item + L"\u30A4\u30B3\u30FC\u30EB\u30014.\t"), std::wstring::npos)
        << narrow(text);  // イコール、4.
    EXPECT_NE(text.find(L"selected\t2\n"), std::wstring::npos) << narrow(text);

    type(L"\r");
    pump_messages();
    EXPECT_EQ(window.calculation().readout(), "48.");
    text = read_tape();
    EXPECT_NE(text.find(L"2" + item + L"\u30A4\u30B3\u30FC\u30EB\u30014.\u3001\u8A02\t"),
              std::wstring::npos)
        << narrow(text);  // イコール、4.、訂
    EXPECT_NE(text.find(L"3" + item + L"\u30A4\u30B3\u30FC\u30EB\u300148.\t"), std::wstring::npos)
        << narrow(text);
    EXPECT_EQ(text.find(L"selected"), std::wstring::npos);
    const auto raised = [&](DWORD event, long id) {
        return std::find(tapeEvents.begin(), tapeEvents.end(), std::pair{event, id}) !=
               tapeEvents.end();
    };
    EXPECT_TRUE(raised(EVENT_OBJECT_SELECTION, 2));
    EXPECT_TRUE(raised(EVENT_OBJECT_SELECTIONREMOVE, 2));
    EXPECT_TRUE(raised(EVENT_OBJECT_NAMECHANGE, 3));
    UnhookWinEvent(hook);
}

}  // namespace
}  // namespace z5calc
