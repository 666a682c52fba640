#include <windows.h>

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "gdi_handles.h"
#include "test_files.h"
#include "window_region.h"

namespace z5calc {
namespace {

class ResourceModule : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        module = LoadLibraryExW(dll_path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(module); }
    static HMODULE module;
};
HMODULE ResourceModule::module = nullptr;

TEST_F(ResourceModule, PressedKeyBitmapsByNameWithoutRegardToCaseInJapanese) {
    ASSERT_NE(module, nullptr);
    struct Case {
        const wchar_t* name;
        LONG width, height;
    };
    for (const Case& c : {Case{L"taxout", 37, 19}, Case{L"TAXOUT", 37, 19}, Case{L".", 29, 29},
                          Case{L"000", 29, 29}, Case{L"mp", 23, 23}, Case{L"OFF", 37, 24},
                          Case{L"TRON", 64, 68}, Case{L"troff", 64, 68}}) {
        HRSRC found =
            FindResourceExW(module, RT_BITMAP, c.name, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        ASSERT_NE(found, nullptr) << static_cast<int>(c.name[0]);
        // Stored without a file header: the resource begins with the 40-byte information header.
        auto* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->biSize, 40u);
        EXPECT_EQ(info->biWidth, c.width);
        EXPECT_EQ(info->biHeight, c.height);  // positive: bottom-up rows
        EXPECT_EQ(info->biBitCount, 24);
        EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));
    }
    HRSRC region = FindResourceW(module, L"FRM", L"RGN");
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(SizeofResource(module, region), 896u);
}

// A window with a fixed single border and a caption, with a 210 x 273 client area.
UniqueHwnd make_window() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"z5calc-region-test";
    RegisterClassW(&wc);
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_DLGFRAME;
    RECT r = {0, 0, 210, 273};
    AdjustWindowRect(&r, style, FALSE);
    return UniqueHwnd(CreateWindowExW(0, wc.lpszClassName, L"test", style, 100, 100,
                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                      wc.hInstance, nullptr));
}

TEST_F(ResourceModule, RegionCutsCaptionFrameAndCorners) {
    UniqueHwnd window = make_window();
    ASSERT_TRUE(window);
    ApplyWindowRegion(module, L"FRM", window.get());
    UniqueHrgn region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(window.get(), region.get()), COMPLEXREGION);
    // Client (x, y) in window coordinates, past the frame and caption.
    const int dx = GetSystemMetrics(SM_CXDLGFRAME);
    const int dy = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME);
    auto in = [&](int x, int y) { return PtInRegion(region.get(), x + dx, y + dy) != FALSE; };
    EXPECT_FALSE(in(0, 0));
    EXPECT_FALSE(in(144, 0));
    EXPECT_TRUE(in(0, 40));
    EXPECT_TRUE(in(105, 0));
    EXPECT_TRUE(in(209, 272 - 40));
    EXPECT_FALSE(in(209, 272));
    EXPECT_FALSE(in(105, -1));  // the caption bar is outside
    RECT box;
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.left, dx);
    EXPECT_EQ(box.top, dy);
    EXPECT_EQ(box.right - box.left, 210);
    EXPECT_EQ(box.bottom - box.top, 273);
}

TEST_F(ResourceModule, MissingRegionLeavesTheWindowRectangular) {
    UniqueHwnd window = make_window();
    ASSERT_TRUE(window);
    ApplyWindowRegion(module, L"NOSUCH", window.get());
    UniqueHrgn region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(window.get(), region.get()), ERROR);
}

}  // namespace
}  // namespace z5calc
