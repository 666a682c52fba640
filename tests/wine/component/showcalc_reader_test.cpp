// A whole calculator call made by a user who cannot see it: a screen reader in another process
// reads the calculator beside the host's field and presses its keys, the transfer key last.
#include <windows.h>
#include <objbase.h>

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "accessible_fixture.h"
#include "calc_script.h"
#include "handles.h"
#include "test_files.h"
#include "z5calcD_h.h"

namespace z5calc {
namespace {

class ShowcalcReaderTest : public ComponentCallTest {};

TEST_F(ShowcalcReaderTest, ScreenReaderCalculatesAndTransfers) {
    TempFolder folder(L"showcalc-reader");
    const std::wstring out = folder.path() + L"tree.txt";
    HANDLE reader = nullptr;
    Script script;
    script.then([&] {
        reader = start_screen_reader(
            SCREEN_READER_EXE, calc_window(), out,
            {KeyId::Num2, KeyId::Times, KeyId::Num2, KeyId::Num1, KeyId::Trans});
    });
    script.start();
    double m = 0, mmax = 0, result = std::nan("");
    windowstay ws = {3000, 3000, 1500, 300};
    EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
    // The reader's last question reaches a window that is gone; serve it until the reader ends.
    ASSERT_NE(reader, nullptr);
    std::wstring text;
    EXPECT_EQ(finish_screen_reader(reader, out, text), 0u);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(calc_window(), nullptr);
    // What it read first: the transfer key, shown during the call, is a named button.
    EXPECT_NE(text.find(L"\n32\t43\t\u8EE2\u8A18\t"), std::wstring::npos) << narrow(text);
}

}  // namespace
}  // namespace z5calc
