#pragma once
// What the probe tests share: objects made through the DLL's own class factory, a user's input
// played from inside the modal display, and the process's handle and commit figures.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shlobj.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "handles.h"
#include "test_files.h"
#include "z5calcD_h.h"

namespace z5calc {

template <class F>
F* entry(HMODULE module, const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// An object made through the DLL's own class factory, on the calling thread.
inline ComPtr<_zelcalc> make_object(HMODULE module) {
    ComPtr<_zelcalc> calc;
    auto get = entry<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>(module, "DllGetClassObject");
    ComPtr<IClassFactory> factory;
    if (!get || get(CLSID_zelcalc, IID_IClassFactory, factory.put_void()) != S_OK) return calc;
    factory->CreateInstance(nullptr, IID__zelcalc, calc.put_void());
    return calc;
}

inline BOOL CALLBACK find_calc_window(HWND hwnd, LPARAM param) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring(name) != L"z5calc.frmCalc" || !IsWindowVisible(hwnd)) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

// The calculator window this thread shows, or null.
inline HWND own_calc_window() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), find_calc_window, reinterpret_cast<LPARAM>(&found));
    return found;
}

inline POINT key_point(const std::wstring& tag) {
    if (tag == L"taxin") return {28, 86};
    if (tag == L"MP") return {185, 140};
    return {185, 190};  // MR
}

// Steps run one per timer tick on the calling thread, from inside its modal displays, as a
// user's input arrives. A step that returns false runs again at the next tick. A run started
// inside another's step takes the ticks until it goes. Once the steps are done the timer
// stops, so that nothing but the component's own messages reaches the display.
class Steps {
  public:
    using Step = std::function<bool()>;
    Steps() : previous_(current) { current = this; }
    ~Steps() {
        stop();
        current = previous_;
    }
    Steps(const Steps&) = delete;
    Steps& operator=(const Steps&) = delete;

    Steps& then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    Steps& act(std::function<void()> f) {
        return then([f] {
            f();
            return true;
        });
    }
    Steps& type(const std::wstring& chars) {
        return act([chars] {
            for (wchar_t ch : chars) PostMessageW(own_calc_window(), WM_CHAR, ch, 0);
        });
    }
    Steps& click(const std::wstring& tag) {
        return act([tag] {
            const POINT p = key_point(tag);
            PostMessageW(own_calc_window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            PostMessageW(own_calc_window(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        });
    }
    void start() { timer_ = SetTimer(nullptr, 0, 10, &Steps::tick); }
    void stop() {
        if (timer_) KillTimer(nullptr, timer_);
        timer_ = 0;
    }
    bool done() const { return steps_.empty(); }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
        Steps* self = current;
        if (!self || id != self->timer_ || !own_calc_window()) return;
        if (self->steps_.empty()) {
            self->stop();
            return;
        }
        if (self->steps_.front()()) self->steps_.pop_front();
        if (self->steps_.empty()) self->stop();
    }

    static inline thread_local Steps* current = nullptr;
    std::deque<Step> steps_;
    UINT_PTR timer_ = 0;
    Steps* previous_;
};

// A step that waits until `count` threads have arrived, 10 s at the most.
inline Steps::Step barrier(std::atomic<int>& count, int threads, bool* allMet = nullptr) {
    auto since = std::make_shared<ULONGLONG>(0);
    return [&count, threads, since, allMet] {
        if (*since == 0) {
            *since = GetTickCount64();
            ++count;
        }
        const bool met = count.load() >= threads;
        if (met && allMet) *allMet = true;
        return met || GetTickCount64() - *since > 10000;
    };
}

inline std::wstring error_description() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
    UniqueBstr text;
    info->GetDescription(text.put());
    return text.get() ? text.get() : L"";
}

struct CallResult {
    HRESULT hr = E_FAIL;
    double value = std::nan("");
    std::wstring error;  // the error info's description of a failed call
};

inline CallResult show(_zelcalc* calc, Steps& steps, double m) {
    CallResult r;
    double mmax = 0;
    windowstay ws = {3000, 3000, 1500, 300};
    steps.start();
    r.hr = calc->showcalc(&m, &ws, &mmax, &r.value);
    steps.stop();
    if (FAILED(r.hr)) r.error = error_description();
    return r;
}

inline std::wstring settings_file() {
    wchar_t appData[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    return std::wstring(appData) + L"\\qorvan\\z5calc.ini";
}

inline std::size_t count_handles() {
    std::size_t n = 0;
    for (std::uintptr_t h = 4; h < 0x10000; h += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++n;
    }
    return n;
}

inline std::size_t commit_bytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// The running program's own file.
inline std::wstring module_path_of_self() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The component's own settings file is put back as it was after each test.
class HostProbeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        had_ = file_exists(settings_file());
        if (had_) saved_ = read_bytes(settings_file());
        module = LoadLibraryW(dll_path().c_str());
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
        if (had_) {
            write_bytes(settings_file(), saved_);
        } else {
            DeleteFileW(settings_file().c_str());
        }
        CoUninitialize();
    }

    HMODULE module = nullptr;
    TempFolder folder{L"probe"};

  private:
    bool had_ = false;
    std::string saved_;
};

}  // namespace z5calc
