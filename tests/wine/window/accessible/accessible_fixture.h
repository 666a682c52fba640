#pragma once
// What the screen-reader tests share: child ids, a window whose client area was asked for as a
// screen reader asks, and a thread that serves the window while a client elsewhere calls it.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "calc_accessible.h"
#include "handles.h"
#include "loaded_window.h"
#include "test_files.h"

namespace z5calc {

inline VARIANT child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

inline long id_of(KeyId key) {
    return static_cast<long>(key) + 1;
}

using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);

// A child's text through one of the getters (name, value, shortcut...); empty if none.
inline std::wstring text_of(IAccessible* acc, TextGetter get, long id) {
    BSTR b = nullptr;
    (acc->*get)(child(id), &b);
    std::wstring s = b ? b : L"";
    SysFreeString(b);
    return s;
}

inline void pump_messages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// Serves the window's thread, as a host's UI thread does, until `event` is set; a client
// stuck for 20 seconds in a call ends the program (it holds the caller's locals).
inline void serve_until(HANDLE event) {
    const DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &event, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        if (GetTickCount() - start > 20000) {
            std::fprintf(stderr, "the client hung in a call to the window\n");
            ExitProcess(3);
        }
        pump_messages();
    }
}

// Runs `client` on a thread of its own, in an apartment of its own, while this thread serves.
// `meanwhile` runs on this thread first, serving as it needs.
inline void serve_while(const std::function<void()>& client,
                        const std::function<void()>& meanwhile = {}) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        client();
        CoUninitialize();
        SetEvent(done);
    });
    if (meanwhile) meanwhile();
    serve_until(done);
    thread.join();
    CloseHandle(done);
}

// A screen reader in a process of its own (screen_reader.exe, either bitness) started on
// `window`: it writes what it reads to `out`, then presses `keys`. Its process, or null.
inline HANDLE start_screen_reader(const char* exe, HWND window, const std::wstring& out,
                                  std::initializer_list<KeyId> keys) {
    std::wstring line = L"\"" + unix_to_wine_path(exe) + L"\" " +
                        std::to_wstring(reinterpret_cast<INT_PTR>(window)) + L" \"" + out + L"\"";
    for (KeyId key : keys) line += L" " + std::to_wstring(id_of(key));
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return nullptr;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Serves the reader's calls until it ends; its exit code, and what it wrote to `out`.
inline DWORD finish_screen_reader(HANDLE process, const std::wstring& out, std::wstring& text) {
    serve_until(process);
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    const std::string bytes = read_bytes(out);
    text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return code;
}

class AccessibleTest : public LoadedWindowTest {
  protected:
    void SetUp() override {
        // A screen reader's requests travel through COM, as they do on a host's thread.
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        load_window({15, 15});
        ASSERT_EQ(AccessibleObjectFromWindow(window.hwnd(), static_cast<DWORD>(OBJID_CLIENT),
                                             kAccessibleIid, reinterpret_cast<void**>(acc.put())),
                  S_OK);
        ASSERT_TRUE(acc);
    }
    void TearDown() override {
        acc.reset();
        LoadedWindowTest::TearDown();
        CoUninitialize();
    }
    std::wstring text(TextGetter get, long id) { return text_of(acc.get(), get, id); }
    long i4(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) {
        VARIANT v;
        VariantInit(&v);
        (acc.get()->*get)(child(id), &v);
        return v.vt == VT_I4 ? v.lVal : -1;
    }
    RECT location(long id) {
        long l = 0, t = 0, w = 0, h = 0;
        acc->accLocation(&l, &t, &w, &h, child(id));
        return {l, t, l + w, t + h};
    }
    RECT screen(const Control& c) {
        POINT p = {c.Left, c.Top};
        ClientToScreen(window.hwnd(), &p);
        return {p.x, p.y, p.x + c.Width, p.y + c.Height};
    }

    ComPtr<IAccessible> acc;
};

}  // namespace z5calc
