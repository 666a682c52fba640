// The component as hostile and careless hosts use it: several UI threads, a library unloaded
// and loaded again, a last reference released inside a call, names and files that are not what
// they should be. Everything goes through the built DLL, as a host reaches it.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "probe_support.h"
#include "test_files.h"
#include "zelcalc.h"

namespace z5calc {
namespace {

void wait_pumping(const std::vector<HANDLE>& handles, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (HANDLE h : handles) {
        while (MsgWaitForMultipleObjects(1, &h, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0 &&
               GetTickCount64() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
    }
}

struct ThreadRun {
    HMODULE module = nullptr;
    int k = 0, threads = 0;
    std::wstring hostFile;
    std::atomic<int>* open = nullptr;
    std::atomic<int>* leaving = nullptr;
    HRESULT named = E_FAIL;
    bool overlapped = false;
    CallResult first, second;
};

DWORD WINAPI compute_on_own_thread(void* param) {
    auto& run = *static_cast<ThreadRun*>(param);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (ComPtr<_zelcalc> calc = make_object(run.module)) {
        UniqueBstr name(run.hostFile.c_str());
        run.named = calc->SetAppName(name.get());
        // All threads show their calculators at once: price with tax into memory, and out.
        Steps first;
        first.then(barrier(*run.open, run.threads, &run.overlapped))
            .click(L"taxin")
            .click(L"MP")
            .then(barrier(*run.leaving, run.threads))
            .type(L"\r");
        run.first = show(calc.get(), first, 1000);
        Steps second;
        second.click(L"MR").type(L"+" + std::to_wstring(run.k) + L"\r");
        run.second = show(calc.get(), second, 0);
    }
    CoUninitialize();
    return 0;
}

TEST_F(HostProbeTest, EveryUiThreadComputesWithItsOwnValuesMemoryAndTax) {
    for (int threads : {2, 4}) {
        std::atomic<int> open{0}, leaving{0};
        std::vector<ThreadRun> runs(threads);
        std::vector<HANDLE> handles;
        for (int i = 0; i < threads; ++i) {
            ThreadRun& run = runs[i];
            run.module = module;
            run.k = i + 1;
            run.threads = threads;
            run.open = &open;
            run.leaving = &leaving;
            // Tax k percent for thread k.
            run.hostFile = folder.path() + L"host" + std::to_wstring(run.k) + L".ini";
            WritePrivateProfileStringW(L"Setup", L"Tax", std::to_wstring(10 * run.k).c_str(),
                                       run.hostFile.c_str());
            handles.push_back(CreateThread(nullptr, 0, compute_on_own_thread, &run, 0, nullptr));
        }
        // The host's own UI thread goes on pumping, as an apartment's thread must: activation
        // moving between threads talks to it.
        wait_pumping(handles, 60000);
        for (HANDLE h : handles) CloseHandle(h);
        for (const ThreadRun& run : runs) {
            SCOPED_TRACE(std::to_string(threads) + " threads, thread " + std::to_string(run.k));
            EXPECT_EQ(run.named, S_OK);
            EXPECT_TRUE(run.overlapped);
            EXPECT_EQ(run.first.hr, S_OK) << narrow(run.first.error);
            EXPECT_EQ(run.first.value, 1000 + 10 * run.k);
            EXPECT_EQ(run.second.hr, S_OK);
            EXPECT_EQ(run.second.value, 1000 + 11 * run.k);  // its own memory, plus k
        }
    }
}

struct Handover {
    HMODULE module = nullptr;
    _zelcalc* object = nullptr;
    HANDLE made = nullptr, finished = nullptr;
};

DWORD WINAPI make_and_wait(void* param) {
    auto& h = *static_cast<Handover*>(param);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        ComPtr<_zelcalc> calc = make_object(h.module);
        h.object = calc.get();
        SetEvent(h.made);
        WaitForSingleObject(h.finished, 30000);
    }
    CoUninitialize();
    return 0;
}

TEST_F(HostProbeTest, CallsOnAnotherThreadThanTheObjectsAreRefused) {
    Handover h;
    h.module = module;
    h.made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    h.finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, make_and_wait, &h, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(h.made, 10000), WAIT_OBJECT_0);
    ASSERT_NE(h.object, nullptr);

    UniqueBstr name(L"stranger");
    EXPECT_EQ(h.object->SetAppName(name.get()), RPC_E_WRONG_THREAD);
    EXPECT_NE(error_description().find(L"thread"), std::wstring::npos);
    EXPECT_EQ(h.object->SetHelpFile(name.get(), 1), RPC_E_WRONG_THREAD);
    double m = 1, mmax = 0, result = 0;
    windowstay ws = {3000, 3000, 1500, 300};
    EXPECT_EQ(h.object->showcalc(&m, &ws, &mmax, &result), RPC_E_WRONG_THREAD);
    ComPtr<_zelcalc3> calc3;
    ASSERT_EQ(h.object->QueryInterface(IID__zelcalc3, calc3.put_void()), S_OK);
    LONG decimals = 0;
    for (HRESULT hr : {calc3->get_GrandTotal(&m), calc3->ClearGrandTotal(), calc3->put_Decimals(2),
                       calc3->get_Rounding(&decimals)})
        EXPECT_EQ(hr, RPC_E_WRONG_THREAD);
    calc3.reset();
    // Reference counting and interfaces work from any thread; the calls do not.
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(h.object->QueryInterface(IID_IDispatch, dispatch.put_void()), S_OK);
    VARIANT arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = name.get();
    DISPPARAMS params = {&arg, nullptr, 1, 0};
    EXPECT_EQ(dispatch->Invoke(0x60030000, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                               nullptr),
              RPC_E_WRONG_THREAD);
    dispatch.reset();

    SetEvent(h.finished);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(h.made);
    CloseHandle(h.finished);
}

// Another thread's hand on the calculator window.
struct Remote {
    HWND window;
    void (*act)(HWND);
    DWORD host;
    HANDLE returned;
    ULONGLONG at = 0;
};

DWORD WINAPI act_remotely(void* param) {
    auto& r = *static_cast<Remote*>(param);
    Sleep(50);
    r.at = GetTickCount64();
    r.act(r.window);
    // Should the display not end, this wakes it after 5 s and the test fails.
    if (WaitForSingleObject(r.returned, 5000) != WAIT_OBJECT_0)
        PostThreadMessageW(r.host, WM_NULL, 0, 0);
    return 0;
}

TEST_F(HostProbeTest, DisplayEndsAtOnceWhenAnotherThreadHidesOrClosesTheWindow) {
    struct Case {
        const char* how;
        void (*act)(HWND);
    };
    const Case cases[] = {
        {"WM_CLOSE sent", [](HWND w) { SendMessageW(w, WM_CLOSE, 0, 0); }},
        {"hidden", [](HWND w) { ShowWindow(w, SW_HIDE); }},
    };
    for (const Case& c : cases) {
        ComPtr<_zelcalc> calc = make_object(module);
        ASSERT_TRUE(calc);
        Remote remote{nullptr, c.act, GetCurrentThreadId(),
                      CreateEventW(nullptr, TRUE, FALSE, nullptr)};
        HANDLE thread = nullptr;
        Steps steps;
        steps.act([&] {
            remote.window = own_calc_window();
            thread = CreateThread(nullptr, 0, act_remotely, &remote, 0, nullptr);
        });
        const CallResult r = show(calc.get(), steps, 7.5);
        const ULONGLONG ended = GetTickCount64();
        SetEvent(remote.returned);
        EXPECT_EQ(r.hr, S_OK) << c.how;
        EXPECT_EQ(r.value, 7.5) << c.how;
        EXPECT_LT(ended - remote.at, 2000u) << c.how;
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
        CloseHandle(remote.returned);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

void nest(_zelcalc* calc, int level, int levels, std::vector<CallResult>& results) {
    Steps steps;
    if (level + 1 < levels) steps.act([&, level] { nest(calc, level + 1, levels, results); });
    steps.type(L"\x1b");
    results[level] = show(calc, steps, 101 + level);
}

TEST_F(HostProbeTest, NestedCallsEachReturnTheirOwnValue) {
    for (int levels : {2, 10}) {
        ComPtr<_zelcalc> calc = make_object(module);
        ASSERT_TRUE(calc);
        std::vector<CallResult> results(levels);
        nest(calc.get(), 0, levels, results);
        for (int level = 0; level < levels; ++level) {
            EXPECT_EQ(results[level].hr, S_OK) << levels << " levels, level " << level;
            EXPECT_EQ(results[level].value, 101 + level) << levels << " levels, level " << level;
        }
    }
}

}  // namespace
}  // namespace z5calc
