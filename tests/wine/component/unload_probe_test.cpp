// The library as hosts that free unused libraries treat it: released and freed from inside a
// call, and loaded, used and freed again and again; and as two callers reach it through one
// proxy.
#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "calc_accessible.h"
#include "probe_support.h"
#include "test_files.h"

namespace z5calc {
namespace {

using EntryPoint = HRESULT STDAPICALLTYPE();

HRESULT call_entry(const char* name) {
    HMODULE module = LoadLibraryW(dll_path().c_str());
    if (!module) return E_FAIL;
    auto* f = entry<EntryPoint>(module, name);
    const HRESULT hr = f ? f() : E_FAIL;
    FreeLibrary(module);
    return hr;
}

bool loaded() {
    return GetModuleHandleW(dll_path().c_str()) != nullptr;
}

class UnloadProbeTest : public ::testing::Test {
  protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
    // Registers the component and makes an object as a host does, through COM.
    static void create_through_com(ComPtr<_zelcalc>& calc) {
        ASSERT_FALSE(loaded());
        ASSERT_EQ(call_entry("DllRegisterServer"), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_zelcalc, nullptr, CLSCTX_INPROC_SERVER, IID__zelcalc,
                                   calc.put_void()),
                  S_OK);
        ASSERT_TRUE(loaded());
    }
};

TEST_F(UnloadProbeTest, FreeingUnusedLibrariesDuringACallKeepsTheModuleUntilItReturns) {
    {
        ComPtr<_zelcalc> calc;
        ASSERT_NO_FATAL_FAILURE(create_through_com(calc));
        HMODULE module = GetModuleHandleW(dll_path().c_str());
        _zelcalc* raw = calc.get();
        bool loadedAfterFree = false;
        HRESULT canUnload = S_OK;
        Steps steps;
        steps
            .act([&] {
                // The host's timer lets go of its last reference, and its runtime frees what
                // it thinks unused, as the VB runtime does.
                calc.reset();
                canUnload = entry<EntryPoint>(module, "DllCanUnloadNow")();
                CoFreeUnusedLibraries();
                loadedAfterFree = loaded();
            })
            .type(L"6X7\r");
        const CallResult r = show(raw, steps, 0);
        EXPECT_EQ(canUnload, S_FALSE);
        EXPECT_TRUE(loadedAfterFree);
        EXPECT_EQ(r.hr, S_OK);
        EXPECT_EQ(r.value, 42);
        // Once the call has returned nothing holds the module any more.
        EXPECT_EQ(entry<EntryPoint>(module, "DllCanUnloadNow")(), S_OK);
        CoFreeUnusedLibraries();
        EXPECT_FALSE(loaded());
        // No window class outlives the code it points at.
        WNDCLASSEXW known = {};
        known.cbSize = sizeof(known);
        EXPECT_FALSE(GetClassInfoExW(module, L"z5calc.frmCalc", &known));
    }
    EXPECT_EQ(call_entry("DllUnregisterServer"), S_OK);
}

// A screen reader keeps the calculator's accessible object after the call, while the host lets
// go of its own and frees unused libraries: the library stays while the object can be called,
// the object answers that its window is gone, and the library goes once it is released.
TEST_F(UnloadProbeTest, AccessibleObjectKeptByAScreenReaderKeepsTheModule) {
    {
        ComPtr<_zelcalc> calc;
        ASSERT_NO_FATAL_FAILURE(create_through_com(calc));
        HMODULE module = GetModuleHandleW(dll_path().c_str());
        ComPtr<IAccessible> reader;
        Steps steps;
        steps
            .act([&] {
                AccessibleObjectFromWindow(own_calc_window(), static_cast<DWORD>(OBJID_CLIENT),
                                           kAccessibleIid, reinterpret_cast<void**>(reader.put()));
            })
            .type(L"6X7\r");
        EXPECT_EQ(show(calc.get(), steps, 0).value, 42);
        ASSERT_TRUE(reader);
        calc.reset();
        EXPECT_EQ(entry<EntryPoint>(module, "DllCanUnloadNow")(), S_FALSE);
        CoFreeUnusedLibraries();
        ASSERT_TRUE(loaded());
        long count = 0;
        EXPECT_EQ(reader->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
        VARIANT seven;
        VariantInit(&seven);
        seven.vt = VT_I4;
        seven.lVal = 8;
        EXPECT_EQ(reader->accDoDefaultAction(seven), CO_E_OBJNOTCONNECTED);
        reader.reset();
        EXPECT_EQ(entry<EntryPoint>(module, "DllCanUnloadNow")(), S_OK);
        CoFreeUnusedLibraries();
        EXPECT_FALSE(loaded());
    }
    EXPECT_EQ(call_entry("DllUnregisterServer"), S_OK);
}

// One host's session: load, name, a call closed with Esc, release, free.
void load_use_unload() {
    HMODULE module = LoadLibraryW(dll_path().c_str());
    ASSERT_NE(module, nullptr);
    {
        ComPtr<_zelcalc> calc = make_object(module);
        ASSERT_TRUE(calc);
        UniqueBstr name(L"probe-cycle");
        EXPECT_EQ(calc->SetAppName(name.get()), S_OK);
        Steps steps;
        steps.type(L"12+3\x1b");
        EXPECT_EQ(show(calc.get(), steps, 9).value, 9);
    }
    FreeLibrary(module);
    ASSERT_FALSE(loaded());
}

struct Figures {
    std::size_t handles, commit;
};

Figures figures() {
    return {count_handles(), commit_bytes()};
}

void report(const char* what, int times, const Figures& before, const Figures& after) {
    std::printf("%s x%d: handles %zu -> %zu, commit %zu KB -> %zu KB\n", what, times,
                before.handles, after.handles, before.commit / 1024, after.commit / 1024);
}

int repetitions(const char* variable, int fallback) {
    const char* text = std::getenv(variable);
    return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

TEST_F(UnloadProbeTest, LoadUseUnloadCyclesLeaveNoHandleAndNoMemory) {
    ASSERT_FALSE(loaded());
    // The first rounds load what stays loaded for good (system libraries, their caches).
    for (int i = 0; i < 5; ++i) load_use_unload();
    const int cycles = repetitions("Z5_PROBE_CYCLES", 100);
    const Figures before = figures();
    for (int i = 0; i < cycles && !HasFatalFailure(); ++i) load_use_unload();
    const Figures after = figures();
    report("load-use-unload", cycles, before, after);
    EXPECT_LE(after.handles, before.handles);
    // The heap may round up a little; a leak of one allocation per cycle would not fit.
    EXPECT_LT(after.commit, before.commit + 256 * 1024);
}

TEST_F(UnloadProbeTest, RepeatedCallsLeaveNoHandleAndNoMemory) {
    HMODULE module = LoadLibraryW(dll_path().c_str());
    ASSERT_NE(module, nullptr);
    {
        ComPtr<_zelcalc> calc = make_object(module);
        ASSERT_TRUE(calc);
        auto call = [&] {
            Steps steps;
            steps.type(L"7X6\r");
            return show(calc.get(), steps, 0).value;
        };
        for (int i = 0; i < 5; ++i) call();
        const int calls = repetitions("Z5_PROBE_CALLS", 200);
        const Figures before = figures();
        int right = 0;
        for (int i = 0; i < calls; ++i) right += call() == 42;
        const Figures after = figures();
        report("showcalc", calls, before, after);
        EXPECT_EQ(right, calls);
        EXPECT_LE(after.handles, before.handles);
        EXPECT_LT(after.commit, before.commit + 256 * 1024);
    }
    FreeLibrary(module);
}

// A reader that asks the calculator's window for its object again and again and never fetches
// one: what the unfetched results keep stays small, and they do not keep the module once the
// host has let go.
TEST_F(UnloadProbeTest, UnfetchedAccessibleObjectsHoldNeitherHandlesNorTheModule) {
    {
        ComPtr<_zelcalc> calc;
        ASSERT_NO_FATAL_FAILURE(create_through_com(calc));
        HMODULE module = GetModuleHandleW(dll_path().c_str());
        const int asks = repetitions("Z5_PROBE_ASKS", 10000);
        std::size_t before = 0, during = 0;
        ULONGLONG took = 0;
        HRESULT fetched = E_FAIL;
        Steps steps;
        steps
            .act([&] {
                before = count_handles();
                const HWND window = own_calc_window();
                const ULONGLONG started = GetTickCount64();
                for (int i = 0; i < asks; ++i) SendMessageW(window, WM_GETOBJECT, 0, OBJID_CLIENT);
                took = GetTickCount64() - started;
                during = count_handles();
                // A reader that does fetch still gets the object.
                ComPtr<IAccessible> reader;
                fetched = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                     kAccessibleIid,
                                                     reinterpret_cast<void**>(reader.put()));
            })
            .type(L"6X7\r");
        EXPECT_EQ(show(calc.get(), steps, 0).value, 42);
        calc.reset();
        std::printf("%d results never fetched: handles %zu -> %zu, %llu ms\n", asks, before, during,
                    took);
        EXPECT_LE(during, before + 16);
        EXPECT_EQ(fetched, S_OK);
        EXPECT_EQ(entry<EntryPoint>(module, "DllCanUnloadNow")(), S_OK);
        CoFreeUnusedLibraries();
        EXPECT_FALSE(loaded());
    }
    EXPECT_EQ(call_entry("DllUnregisterServer"), S_OK);
}

// Two callers on other threads share one proxy to the object. While the first caller's user is
// at the calculator the second is refused at once, and the first gets what its user typed.
struct TwoCallers {
    HANDLE secondGo, secondDone;
    bool asked = false, typed = false;
};
TwoCallers* twoCallers = nullptr;

// Runs inside the first call's display on the object's thread, as the user's input does.
void CALLBACK two_callers_step(HWND, UINT, UINT_PTR, DWORD) {
    const HWND w = FindWindowW(L"z5calc.frmCalc", nullptr);
    if (!twoCallers || !w || !IsWindowVisible(w)) return;
    if (!twoCallers->asked) {
        twoCallers->asked = true;
        SetEvent(twoCallers->secondGo);
    } else if (!twoCallers->typed && WaitForSingleObject(twoCallers->secondDone, 0) == 0) {
        twoCallers->typed = true;
        for (wchar_t ch : std::wstring(L"42\r")) PostMessageW(w, WM_CHAR, ch, 0);
    }
}

TEST_F(UnloadProbeTest, SecondCallerThroughTheProxyIsRefusedWhileTheFirstIsServed) {
    ComPtr<_zelcalc> calc;
    ASSERT_NO_FATAL_FAILURE(create_through_com(calc));
    IStream* stream = nullptr;
    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID__zelcalc, calc.get(), &stream), S_OK);
    TwoCallers state{CreateEventW(nullptr, TRUE, FALSE, nullptr),
                     CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    twoCallers = &state;
    CallResult first, second;
    auto call = [](_zelcalc* c, double m, CallResult& out) {
        double mmax = 0;
        windowstay ws = {3000, 3000, 1500, 300};
        out.hr = c->showcalc(&m, &ws, &mmax, &out.value);
    };
    HANDLE firstDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread callers([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        _zelcalc* proxy = nullptr;
        CoGetInterfaceAndReleaseStream(stream, IID__zelcalc, reinterpret_cast<void**>(&proxy));
        std::thread other([&] {
            CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            if (WaitForSingleObject(state.secondGo, 20000) == 0 && proxy) call(proxy, 2, second);
            SetEvent(state.secondDone);
            CoUninitialize();
        });
        if (proxy) call(proxy, 1, first);
        other.join();
        if (proxy) proxy->Release();
        CoUninitialize();
        SetEvent(firstDone);
    });
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &two_callers_step);
    const ULONGLONG end = GetTickCount64() + 20000;
    while (MsgWaitForMultipleObjects(1, &firstDone, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0 &&
           GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    KillTimer(nullptr, timer);
    callers.join();
    twoCallers = nullptr;
    EXPECT_EQ(second.hr, RPC_E_CALL_REJECTED);
    EXPECT_EQ(first.hr, S_OK);
    EXPECT_EQ(first.value, 42);
    for (HANDLE h : {state.secondGo, state.secondDone, firstDone}) CloseHandle(h);
    calc.reset();
    EXPECT_EQ(call_entry("DllUnregisterServer"), S_OK);
}

}  // namespace
}  // namespace z5calc
