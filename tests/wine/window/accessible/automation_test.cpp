// The calculator as UI Automation clients see it: through the system's bridge from MSAA, reached
// by the flat client functions of uiautomationcore, found at run time (no import library here
// has them, and their header cannot be read by C++: a parameter is named "new").
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "calc_accessible.h"
#include "handles.h"
#include "loaded_window.h"

namespace z5calc {
namespace {

using HUIANODE = struct UiaNode*;
using PROPERTYID = int;

constexpr PROPERTYID kControlType = 30003;
constexpr long kButton = 50000, kText = 50020;

using FromAccessible = HRESULT(WINAPI*)(IAccessible*, long, DWORD, IUnknown**);
using FromProvider = HRESULT(WINAPI*)(IUnknown*, HUIANODE*);
using GetProperty = HRESULT(WINAPI*)(HUIANODE, PROPERTYID, VARIANT*);
using Release = BOOL(WINAPI*)(HUIANODE);

struct Uia {
    HMODULE dll = LoadLibraryW(L"uiautomationcore.dll");
    FromAccessible fromAccessible = find<FromAccessible>("UiaProviderFromIAccessible");
    FromProvider fromProvider = find<FromProvider>("UiaNodeFromProvider");
    GetProperty property = find<GetProperty>("UiaGetPropertyValue");
    Release release = find<Release>("UiaNodeRelease");

    template <class F>
    F find(const char* name) {
        return dll ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)))
                   : nullptr;
    }
    bool complete() const { return fromAccessible && fromProvider && property && release; }
};

class AutomationTest : public LoadedWindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        load_window({15, 15});
    }
    void TearDown() override {
        LoadedWindowTest::TearDown();
        CoUninitialize();
    }
};

// The bridge names each child's control type from its MSAA role: every key a button, the
// readout and the memory mark text. (Wine's bridge answers nothing more yet: no node from the
// window handle, no names, no navigation, no patterns; see the README's accessibility notes.)
TEST_F(AutomationTest, KeysAreButtonsAndTheReadoutIsText) {
    Uia uia;
    ASSERT_TRUE(uia.complete());
    ComPtr<IAccessible> acc;
    ASSERT_EQ(AccessibleObjectFromWindow(window.hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                         kAccessibleIid, reinterpret_cast<void**>(acc.put())),
              S_OK);
    std::wstring seen;
    for (long c = 1; c <= CalcAccessible::kChildCount; ++c) {
        SCOPED_TRACE(c);
        ComPtr<IUnknown> provider;
        ASSERT_EQ(uia.fromAccessible(acc.get(), c, 0, provider.put()), S_OK);
        HUIANODE node = nullptr;
        ASSERT_EQ(uia.fromProvider(provider.get(), &node), S_OK);
        VARIANT type;
        VariantInit(&type);
        EXPECT_EQ(uia.property(node, kControlType, &type), S_OK);
        uia.release(node);
        ASSERT_EQ(type.vt, VT_I4);
        const bool key = c < CalcAccessible::kReadoutChild || c == CalcAccessible::kRateSwitchChild;
        EXPECT_EQ(type.lVal, key ? kButton : kText);
        seen += std::to_wstring(type.lVal) + L" ";
    }
    std::printf("control types of children 1..%ld: %ls\n", CalcAccessible::kChildCount,
                seen.c_str());
}

}  // namespace
}  // namespace z5calc
