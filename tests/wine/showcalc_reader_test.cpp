// A whole calculator call made by a user who cannot see it: a screen reader in another process
// reads the calculator beside the host's field and presses its keys, the transfer key last.
#include <windows.h>
#include <objbase.h>

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "calc_script.h"
#include "handles.h"
#include "test_files.h"
#include "z5calcD_h.h"

namespace z5calc {
namespace {

class ShowcalcReaderTest : public ComponentCallTest {};

long child_of(KeyId key) {
    return static_cast<long>(key) + 1;
}

TEST_F(ShowcalcReaderTest, ScreenReaderCalculatesAndTransfers) {
    TempFolder folder(L"showcalc-reader");
    const std::wstring out = folder.path() + L"tree.txt";
    PROCESS_INFORMATION reader = {};
    Script script;
    script.then([&] {
        std::wstring line = L"\"" + unix_to_wine_path(SCREEN_READER_EXE) + L"\" " +
                            std::to_wstring(reinterpret_cast<INT_PTR>(calc_window())) + L" \"" +
                            out + L"\"";
        for (KeyId key : {KeyId::Num2, KeyId::Times, KeyId::Num2, KeyId::Num1, KeyId::Trans}) {
            line += L" " + std::to_wstring(child_of(key));
        }
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &si, &reader));
    });
    script.start();
    double m = 0, mmax = 0, result = std::nan("");
    windowstay ws = {3000, 3000, 1500, 300};
    EXPECT_EQ(calc->showcalc(&m, &ws, &mmax, &result), S_OK);
    // The reader's last question reaches a window that is gone; serve it until the reader ends.
    ASSERT_NE(reader.hProcess, nullptr);
    for (DWORD waited = 0; waited < 20000; waited += 50) {
        if (MsgWaitForMultipleObjects(1, &reader.hProcess, FALSE, 50, QS_ALLINPUT) ==
            WAIT_OBJECT_0) {
            break;
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    DWORD code = 99;
    GetExitCodeProcess(reader.hProcess, &code);
    CloseHandle(reader.hThread);
    CloseHandle(reader.hProcess);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(calc_window(), nullptr);
    // What it read first: the transfer key, shown during the call, is a named button.
    const std::string bytes = read_bytes(out);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    EXPECT_NE(text.find(L"\n32\t43\t\u8EE2\u8A18\t"), std::wstring::npos) << narrow(text);
}

}  // namespace
}  // namespace z5calc
