// What _zelcalc2 and _zelcalc3 add, through real calls: the rate a call opens with, as the host
// asks it, and the one the user leaves it at; the tape a host can keep beside the field's value;
// the grand total over calls and the rounding of their results.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "calc_script.h"
#include "handles.h"
#include "test_files.h"
#include "z5calcD_h.h"

namespace z5calc {
namespace {

class Zelcalc2CallTest : public ComponentCallTest {
  protected:
    void SetUp() override {
        ComponentCallTest::SetUp();
        ASSERT_EQ(calc->QueryInterface(IID__zelcalc2, calc2.put_void()), S_OK);
        wchar_t appData[MAX_PATH] = {};
        SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE);
        host_ = std::wstring(appData) + L"\\qorvan\\ratecallhost.ini";
        UniqueBstr name(L"ratecallhost");
        ASSERT_EQ(calc->SetAppName(name.get()), S_OK);  // makes the settings folder
        write_bytes(host_, "[Setup]\r\nTax=100\r\nReducedTax=80\r\nTaxMode=0\r\n");
    }
    void TearDown() override { DeleteFileW(host_.c_str()); }

    double show(Script& script, double m) {
        double mmax = 0, result = 0;
        windowstay ws = {3000, 3000, 1500, 300};
        script.start();
        EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
        EXPECT_TRUE(script.done());
        return result;
    }
    LONG kind() {
        LONG k = -1;
        EXPECT_EQ(calc2->get_TaxRateKind(&k), S_OK);
        return k;
    }

    ComPtr<_zelcalc2> calc2;
    std::wstring host_;
};

void press(WPARAM vk) {
    PostMessageW(calc_window(), WM_KEYDOWN, vk, 0);
    PostMessageW(calc_window(), WM_KEYUP, vk, 0xC0000001);
}

void press_f8() {
    press(VK_F8);
}

TEST_F(Zelcalc2CallTest, OpensAtTheAskedRateAndReportsTheRateItClosedWith) {
    struct Case {
        LONG ask;
        bool f8;
        double with_tax;  // 1,000 税込
        LONG closed;
    };
    for (const Case& c : {Case{0, false, 1100, 0}, Case{1, false, 1080, 1}, Case{1, true, 1100, 0},
                          Case{0, true, 1080, 1}}) {
        ASSERT_EQ(calc2->put_TaxRateKind(c.ask), S_OK);
        Script script;
        if (c.f8) script.then(press_f8);
        script.type(L"1000").click(L"taxin").type(L"\r");
        EXPECT_EQ(show(script, 0), c.with_tax) << c.ask << c.f8;
        EXPECT_EQ(kind(), c.closed) << c.ask << c.f8;
    }
    // What the host asked stays the opening rate: the user's F8 did not change it.
    ASSERT_EQ(calc2->put_TaxRateKind(1), S_OK);
    Script f8_then_close;
    f8_then_close.then(press_f8).type(L"\x1b");
    show(f8_then_close, 5);
    EXPECT_EQ(kind(), 0);
    Script again;
    again.type(L"1000").click(L"taxin").type(L"\r");
    EXPECT_EQ(show(again, 0), 1080);
}

// The host's rate set during a call switches the calculator shown; a call made from inside
// the display has its own rate, and the calculator it interrupted gets its own back.
TEST_F(Zelcalc2CallTest, NestedCallLeavesTheInterruptedRate) {
    ASSERT_EQ(calc2->put_TaxRateKind(1), S_OK);
    double inner = 0;
    LONG inner_closed = -1;
    Script outer;
    outer
        .then([&] {
            calc2->put_TaxRateKind(0);
            Script nested;
            nested.then(press_f8).type(L"1000").click(L"taxin").type(L"\r");
            inner = show(nested, 0);
            inner_closed = kind();
        })
        .then([] { PostMessageW(calc_window(), WM_CLOSE, 0, 0); });
    show(outer, 0);
    EXPECT_EQ(inner, 1080);      // the inner call switched to 8 %
    EXPECT_EQ(inner_closed, 0);  // and the outer, back at once, has its own
    EXPECT_EQ(kind(), 0);
}

TEST_F(Zelcalc2CallTest, TapeHoldsTheCallsStepsForTheHost) {
    auto tape = [&] {
        UniqueBstr text;
        EXPECT_EQ(calc2->get_Tape(text.put()), S_OK);
        return std::wstring(text.view());
    };
    EXPECT_EQ(calc2->ClearTape(), S_OK);  // before any call: nothing to clear, no failure
    EXPECT_EQ(tape(), L"");
    Script script;
    script.type(L"2+3=").type(L"\r");
    EXPECT_EQ(show(script, 1200), 5);
    EXPECT_EQ(tape(), L"\u958B\u59CB\t1200.\r\n+\t2.\r\n=\t3.\r\n=\t5.\r\n\u8EE2\u8A18\t5.\r\n");
    Script closed;  // the next call adds its start; Esc adds nothing
    closed.type(L"\x1b");
    show(closed, 7);
    const std::wstring after = tape();
    EXPECT_EQ(after.substr(after.rfind(L"\u958B")), L"\u958B\u59CB\t7.\r\n");
    EXPECT_EQ(calc2->ClearTape(), S_OK);
    EXPECT_EQ(tape(), L"");
    EXPECT_EQ(calc2->get_Tape(nullptr), E_POINTER);
}

// A late-bound get of the tape by a caller that takes no result frees the text it made:
// 10,000 such calls on a tape of some 100 lines leave the process's commit where it was.
TEST_F(Zelcalc2CallTest, TapeGotWithoutAResultLeavesNothingBehind) {
    Script script;
    for (int i = 0; i < 100; ++i) script.type(L"12+");
    script.type(L"=\r");
    show(script, 0);
    // The process's committed private memory, region by region.
    auto commit = [] {
        long long bytes = 0;
        MEMORY_BASIC_INFORMATION region = {};
        for (auto* at = static_cast<char*>(nullptr);
             VirtualQuery(at, &region, sizeof region) == sizeof region;
             at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
            if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
                bytes += static_cast<long long>(region.RegionSize);
        }
        return bytes;
    };
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    const long long before = commit();
    for (int i = 0; i < 10'000; ++i) {
        ASSERT_EQ(calc2->Invoke(DISPID_TAPE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr,
                                nullptr, nullptr),
                  S_OK);
    }
    const long long added = commit() - before;
    EXPECT_LT(added, 1 << 20) << "bytes added: " << added;
}

// Each call's results rounded as the host set for it; the grand total adds them over the calls
// and G brings it onto the readout, rounded too. A correction the user began is left when a
// nested call comes: the keys then work the calculator again.
TEST_F(Zelcalc2CallTest, GrandTotalSpansCallsRoundedAsTheHostSets) {
    ComPtr<_zelcalc3> calc3;
    ASSERT_EQ(calc->QueryInterface(IID__zelcalc3, calc3.put_void()), S_OK);
    ASSERT_EQ(calc3->ClearGrandTotal(), S_OK);
    const struct {
        LONG decimals, rule;
        const wchar_t* keys;
        double result;
    } calls[] = {{0, 2, L"10/4=", 3}, {0, 0, L"10/4=", 2}, {2, 1, L"1/3=", 0.34}};
    for (const auto& call : calls) {
        ASSERT_EQ(calc3->put_Decimals(call.decimals), S_OK);
        ASSERT_EQ(calc3->put_Rounding(call.rule), S_OK);
        Script script;
        script.type(call.keys).type(L"\r");
        EXPECT_EQ(show(script, 0), call.result) << narrow(call.keys);
    }
    double total = 0;
    ASSERT_EQ(calc3->get_GrandTotal(&total), S_OK);
    EXPECT_DOUBLE_EQ(total, 5.34);
    ASSERT_EQ(calc3->put_Decimals(1), S_OK);  // 5.34 recalled at one decimal, half up
    ASSERT_EQ(calc3->put_Rounding(2), S_OK);
    Script recall;
    recall.then([] { press('G'); }).type(L"\r");
    EXPECT_DOUBLE_EQ(show(recall, 0), 5.3);

    double inner = 0;
    Script outer;
    outer.type(L"4+5=")
        .then([] { press(VK_F2); })
        .then([&] {
            Script nested;
            nested.type(L"1\r");
            inner = show(nested, 0);
        })
        .type(L"7+1=")  // the outer call's 転記 stays hidden after a nested call
        .then([] { PostMessageW(calc_window(), WM_CLOSE, 0, 0); });
    show(outer, 0);
    EXPECT_EQ(inner, 1);
    UniqueBstr tape;
    ASSERT_EQ(calc2->get_Tape(tape.put()), S_OK);
    const std::wstring text(tape.view());
    EXPECT_EQ(text.substr(text.size() - 6), L"=\t8.\r\n") << narrow(text);
}

}  // namespace
}  // namespace z5calc
