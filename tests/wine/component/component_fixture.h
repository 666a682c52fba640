#pragma once

// The component's DLL loaded and registered for a test suite, and objects made through COM.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "handles.h"
#include "test_files.h"
#include "z5calcD_h.h"

namespace z5calc {

#ifdef _WIN64
constexpr const wchar_t* kPlatform = L"win64";
#else
constexpr const wchar_t* kPlatform = L"win32";
#endif

class Dll {
  public:
    Dll() : module_(LoadLibraryW(dll_path().c_str())) {}
    Dll(const Dll&) = delete;
    Dll& operator=(const Dll&) = delete;
    ~Dll() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE get() const { return module_; }
    template <class F>
    F* entry(const char* name) const {
        return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HRESULT call(const char* name) const { return entry<HRESULT STDAPICALLTYPE()>(name)(); }

  private:
    HMODULE module_;
};

class ComponentTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        CoInitialize(nullptr);
        dll = new Dll();
        ASSERT_NE(dll->get(), nullptr) << narrow(dll_path());
        ASSERT_EQ(dll->call("DllRegisterServer"), S_OK);
    }
    static void TearDownTestSuite() {
        dll->call("DllUnregisterServer");
        delete dll;
        CoUninitialize();
    }
    static ComPtr<_zelcalc> create() {
        ComPtr<_zelcalc> calc;
        EXPECT_EQ(CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc,
                                   calc.put_void()),
                  S_OK);
        return calc;
    }
    static Dll* dll;
};
inline Dll* ComponentTest::dll = nullptr;

}  // namespace z5calc
