#include <windows.h>

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gdi_handles.h"
#include "subclass.h"

namespace z5calc {
namespace {

// The procedure the hook replaces: it answers WM_USER with 7 and counts what it sees.
int seenByOld = 0;
LRESULT CALLBACK old_procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER || message == WM_USER + 1) {
        ++seenByOld;
        return 7;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Handles WM_USER + 1 itself with 42 and leaves the rest.
struct Target final : MessageCallback {
    LRESULT mCallBackWindow(HWND hw, UINT uMsg, WPARAM, LPARAM) noexcept override {
        ++calls;
        window = hw;
        return uMsg == WM_USER + 1 ? 42 : 0;
    }
    int calls = 0;
    HWND window = nullptr;
};

UniqueHwnd make_window() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = old_procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"z5calc-subclass-test";
    RegisterClassW(&wc);
    return UniqueHwnd(CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, wc.hInstance, nullptr));
}

BOOL CALLBACK add_property(HWND, LPWSTR name, HANDLE, ULONG_PTR out) {
    auto* list = reinterpret_cast<std::vector<std::wstring>*>(out);
    list->push_back(IS_INTRESOURCE(name) ? L"#atom" : name);
    return TRUE;
}

// The window's property names; the system may keep some of its own there.
std::vector<std::wstring> properties(HWND hwnd) {
    std::vector<std::wstring> names;
    EnumPropsExW(hwnd, add_property, reinterpret_cast<LPARAM>(&names));
    return names;
}

TEST(SubClass, PropertyNameIsTheHandleAsSignedDecimal) {
    struct Case {
        std::intptr_t handle;
        const wchar_t* name;
    };
    for (Case c : {Case{1234, L"1234"}, Case{0, L"0"}, Case{-5, L"-5"},
                   Case{INT_MAX, L"2147483647"}, Case{INT_MIN, L"-2147483648"}}) {
        EXPECT_EQ(std::wstring(callback_property_name(reinterpret_cast<HWND>(c.handle)).data()),
                  c.name);
    }
    if constexpr (sizeof(void*) == 8) {
        // Only the low 32 bits of a 64-bit handle are significant.
        auto wide = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x100000010LL));
        EXPECT_EQ(std::wstring(callback_property_name(wide).data()), L"16");
    }
}

TEST(SubClass, OffersEveryMessageToTheObjectFirst) {
    UniqueHwnd window = make_window();
    ASSERT_TRUE(window);
    HWND hwnd = window.get();
    const std::vector<std::wstring> before = properties(hwnd);
    Target target;
    ASSERT_TRUE(SubClassWindow(hwnd, &target));
    EXPECT_EQ(properties(hwnd).size(), before.size() + 2);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SubClassProc));
    EXPECT_EQ(GetPropW(hwnd, callback_property_name(hwnd).data()), &target);
    EXPECT_EQ(GetPropW(hwnd, L"OldProc"), reinterpret_cast<HANDLE>(&old_procedure));

    seenByOld = 0;
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 7);  // 0 from the object: the old one answers
    EXPECT_EQ(seenByOld, 1);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 0, 0), 42);  // handled: the old one never sees it
    EXPECT_EQ(seenByOld, 1);
    EXPECT_EQ(target.window, hwnd);
    EXPECT_EQ(target.calls, 2);

    // Hooking twice would make the hook its own previous procedure.
    Target second;
    EXPECT_FALSE(SubClassWindow(hwnd, &second));
    EXPECT_EQ(GetPropW(hwnd, L"OldProc"), reinterpret_cast<HANDLE>(&old_procedure));

    UnSubClassWindow(hwnd);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&old_procedure));
    EXPECT_EQ(properties(hwnd), before);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 0, 0), 7);
    EXPECT_EQ(target.calls, 2);
}

TEST(SubClass, WithoutTheObjectEveryMessageGoesToTheOldProcedure) {
    UniqueHwnd window = make_window();
    HWND hwnd = window.get();
    Target target;
    ASSERT_TRUE(SubClassWindow(hwnd, &target));
    RemovePropW(hwnd, callback_property_name(hwnd).data());
    seenByOld = 0;
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 0, 0), 7);
    EXPECT_EQ(seenByOld, 1);
    EXPECT_EQ(target.calls, 0);
    UnSubClassWindow(hwnd);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&old_procedure));
}

TEST(SubClass, WithoutOldProcRemovalLeavesEverythingAsItIs) {
    UniqueHwnd window = make_window();
    HWND hwnd = window.get();
    Target target;
    ASSERT_TRUE(SubClassWindow(hwnd, &target));
    RemovePropW(hwnd, L"OldProc");
    UnSubClassWindow(hwnd);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SubClassProc));
    EXPECT_EQ(GetPropW(hwnd, callback_property_name(hwnd).data()), &target);
    // With neither procedure known the default handling answers, and nothing crashes.
    EXPECT_EQ(SendMessageW(hwnd, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
    // Put things right by hand so the window can go.
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&old_procedure));
    RemovePropW(hwnd, callback_property_name(hwnd).data());
}

TEST(SubClass, RefusesAWindowThatIsNotThere) {
    Target target;
    EXPECT_FALSE(SubClassWindow(nullptr, &target));
    UnSubClassWindow(nullptr);  // nothing to do, and no harm
}

}  // namespace
}  // namespace z5calc
