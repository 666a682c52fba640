#include "tape_line_text.h"

#include <gtest/gtest.h>

#include <set>

namespace z5calc {
namespace {

// Each line as the tape paints it and as a screen reader says it.
TEST(TapeLineText, KeyAsShownAndAsReadAloud) {
    struct Case {
        TapeMark mark;
        const char* number;
        double rate;
        const wchar_t* text;
        const wchar_t* name;
    };
    for (const Case& c : {
             Case{TapeMark::Start, "0.", 0, L"\u958B\u59CB", L"\u958B\u59CB\u30010."},  // 開始
             Case{TapeMark::Times, "1,234.", 0, L"\u00D7",
                  L"\u639B\u3051\u308B\u30011,234."},                               // 掛ける
             Case{TapeMark::Minus, "-5.", 0, L"\u2212", L"\u5F15\u304F\u3001-5."},  // 引く
             Case{TapeMark::TaxIn, "1,080.", 0.08, L"\u7A0E\u8FBC 8%",
                  L"\u7A0E\u8FBC 8%\u30011,080."},  // 税込
             Case{TapeMark::TaxAmount, "99.", 0.1, L"\u7A0E 10%", L"\u7A0E\u984D 10%\u300199."},
             Case{TapeMark::MemRecall, "7.", 0, L"MR",
                  L"\u30E1\u30E2\u30EA\u30FC\u30EA\u30B3\u30FC\u30EB\u30017."},  // メモリーリコール
             Case{TapeMark::MemMinus, "7.", 0, L"M\u2212",
                  L"\u30E1\u30E2\u30EA\u30FC\u30DE\u30A4\u30CA\u30B9\u30017."},
             Case{TapeMark::Transfer, "42.", 0, L"\u8EE2\u8A18", L"\u8EE2\u8A18\u300142."},  // 転記
             Case{TapeMark::Divide, "Error", 0, L"\u00F7",
                  L"\u5272\u308B\u3001\u30A8\u30E9\u30FC"},  // エラー
             Case{TapeMark::RateSwitch, "", 0.08, L"\u7A0E\u7387 8%",
                  L"\u7A0E\u7387\u5207\u66FF 8%"},  // 税率切替
         }) {
        const TapeLine line = {c.mark, ReadoutText(c.number), c.rate};
        EXPECT_EQ(tape_key_text(line), c.text) << c.number;
        EXPECT_EQ(tape_line_name(line), c.name);
    }
    // Every mark is a key of its own, painted and spoken.
    std::set<std::wstring> texts, names;
    for (std::size_t m = 0; m < kTapeMarkCount; ++m) {
        const TapeLine line = {static_cast<TapeMark>(m), ReadoutText("1."), 0.1};
        texts.insert(tape_key_text(line));
        names.insert(tape_line_name(line));
    }
    EXPECT_EQ(texts.size(), kTapeMarkCount);
    EXPECT_EQ(names.size(), kTapeMarkCount);
}

TEST(TapeLineText, WholeTapeIsKeyTabNumberLines) {
    Tape tape;
    EXPECT_EQ(tape_text(tape), L"");
    tape.record(TapeMark::Plus, ReadoutText("1."));
    tape.record(TapeMark::TaxIn, ReadoutText("1,080."), 0.08);
    EXPECT_EQ(tape_text(tape), L"+\t1.\r\n\u7A0E\u8FBC 8%\t1,080.\r\n");
}

}  // namespace
}  // namespace z5calc
