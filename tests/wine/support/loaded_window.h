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
    CalcWindow window;
};

}  // namespace z5calc
