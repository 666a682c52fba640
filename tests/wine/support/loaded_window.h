#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "calc_window.h"
#include "test_files.h"

namespace z5calc {

// A calculator window of the test's own, its resources from the component's DLL, shown without
// taking the activation. Each test loads it (load_window) in its SetUp; TearDown unloads it.
class LoadedWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { module = LoadLibraryW(dll_path().c_str()); }
    static void TearDownTestSuite() { FreeLibrary(module); }
    void TearDown() override { window.unload(); }

    void load_window(WindowMetrics metrics, CalcWindowHost* host = nullptr) {
        ASSERT_NE(module, nullptr);
        ASSERT_TRUE(window.load(module, metrics, host));
        ShowWindow(window.hwnd(), SW_SHOWNA);
    }

    static inline HMODULE module = nullptr;
    Calculation calculation;
    CalcWindow window{calculation};
};

// Puts `text` on the readout as it is, for a test of how the window draws it.
inline void show_readout(Calculation& calculation, const char* text) {
    Calculation::Interrupted shown = calculation.interrupt();
    shown.state.Readout.assign(text);
    calculation.resume(shown);
}

}  // namespace z5calc
