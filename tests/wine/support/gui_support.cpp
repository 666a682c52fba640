#include "gui_support.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr DWORD kRunLimitMs = 120000;

std::wstring desktop_name() {
    wchar_t name[256] = {};
    DWORD needed = 0;
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                              sizeof(name) - sizeof(wchar_t), &needed);
    return name;
}

// Wine shows a desktop named under this key as a virtual desktop of the given size.
void declare_virtual_desktop(const std::wstring& name, bool present) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    if (present) {
        const wchar_t size[] = L"1024x768";
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                       sizeof(size));
    } else {
        RegDeleteValueW(key, name.c_str());
    }
    RegCloseKey(key);
}

}  // namespace

int run_gui_tests(int argc, char** argv) {
    const std::wstring own = L"z5test-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring current = desktop_name();
    if (current.rfind(L"z5test-", 0) == 0) {
        // Unbuffered, so that a run ended for its time still shows where it stood.
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    declare_virtual_desktop(own, true);
    std::wstring desktop = own;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.lpDesktop = desktop.data();
    PROCESS_INFORMATION pi = {};
    std::wstring command = GetCommandLineW();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "cannot start the tests on their own desktop (%lu)\n", GetLastError());
        declare_virtual_desktop(own, false);
        return 1;
    }
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, kRunLimitMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(pi.hProcess, &code);
    } else {
        std::fprintf(stderr, "the tests outlasted %lu ms and were ended\n", kRunLimitMs);
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    declare_virtual_desktop(own, false);
    return static_cast<int>(code);
}

MessageBoxWatch::MessageBoxWatch(std::wstring caption, std::chrono::milliseconds limit)
    : caption_(std::move(caption)),
      limit_(limit),
      desktop_(GetThreadDesktop(GetCurrentThreadId())) {
    thread_ = CreateThread(nullptr, 0, &MessageBoxWatch::watch, this, 0, nullptr);
}

MessageBoxWatch::~MessageBoxWatch() {
    std::wstring ignored;
    seen(ignored);
}

bool MessageBoxWatch::seen(std::wstring& text) {
    if (thread_) {
        // The watcher's end may need this thread's windows to answer (its input context is
        // torn down through them), so messages keep flowing while waiting.
        while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    text = text_;
    return seen_;
}

DWORD WINAPI MessageBoxWatch::watch(void* param) {
    auto* self = static_cast<MessageBoxWatch*>(param);
    // Wine starts a new thread on the default desktop, not on its process's.
    SetThreadDesktop(self->desktop_);
    const ULONGLONG end = GetTickCount64() + self->limit_.count();
    while (GetTickCount64() < end) {
        if (HWND box = FindWindowW(L"#32770", self->caption_.c_str())) {
            wchar_t text[512] = {};
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            self->text_ = text;
            // Where it stands once shown and settled (it is placed as it is activated).
            for (RECT last = {-1, -1, -1, -1}; GetTickCount64() < end; Sleep(30)) {
                GetWindowRect(box, &self->rect_);
                if (IsWindowVisible(box) && EqualRect(&last, &self->rect_)) break;
                last = self->rect_;
            }
            const auto font =
                reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETFONT, 0, 0));
            self->missing_ = ::missing_glyphs(font, self->text_);
            self->seen_ = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            // Wait for the box to go, so the next watch cannot find this one again.
            while (IsWindow(box) && GetTickCount64() < end) Sleep(5);
            return 0;
        }
        Sleep(5);
    }
    return 0;
}

std::wstring missing_glyphs(HFONT font, const std::wstring& text) {
    HDC dc = GetDC(nullptr);
    const HGDIOBJ before = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    std::vector<WORD> glyphs(text.size());
    std::wstring missing;
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        glyphs.assign(text.size(), 0xFFFF);
    }
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i] == 0xFFFF && text[i] >= 0x20) missing += text[i];
    }
    SelectObject(dc, before);
    ReleaseDC(nullptr, dc);
    return missing;
}

POINT centre_of(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

std::wstring clipboard_unicode() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"(not open)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool put_pointer(int x, int y) {
    int steady = 0;
    for (int tries = 0; tries < 40 && steady < 3; ++tries) {
        SetCursorPos(x, y);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(25);
        POINT now = {};
        GetCursorPos(&now);
        steady = now.x == x && now.y == y ? steady + 1 : 0;
    }
    return steady >= 3;
}

CompanionUser::CompanionUser(const wchar_t* className, std::function<void(HWND)> act)
    : className_(className),
      act_(std::move(act)),
      desktop_(GetThreadDesktop(GetCurrentThreadId())) {
    thread_ = CreateThread(nullptr, 0, &CompanionUser::run, this, 0, nullptr);
}

CompanionUser::~CompanionUser() {
    text();
    CloseHandle(thread_);
}

std::wstring CompanionUser::text() {
    // As with the message-box watch, this thread keeps answering while it waits.
    while (MsgWaitForMultipleObjects(1, &thread_, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return text_;
}

DWORD WINAPI CompanionUser::run(void* param) {
    auto* self = static_cast<CompanionUser*>(param);
    SetThreadDesktop(self->desktop_);
    const ULONGLONG end = GetTickCount64() + 15000;
    HWND box = nullptr;
    while (!(box = FindWindowW(self->className_.c_str(), nullptr)) && GetTickCount64() < end) {
        Sleep(10);
    }
    if (!box) return 0;
    // Laid out and shown, as the user first sees it.
    while (!IsWindowVisible(box) && IsWindow(box) && GetTickCount64() < end) Sleep(10);
    Sleep(50);
    wchar_t text[512] = {};
    GetWindowTextW(GetDlgItem(box, 100), text, 512);
    self->text_ = text;
    self->act_(box);
    return 0;
}

std::vector<COLORREF> painted_pixels(HWND window, const RECT& area) {
    RECT client = {};
    GetClientRect(window, &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}
