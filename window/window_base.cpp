#include "window_base.h"

namespace z5calc {

HINSTANCE WindowBase::code_module() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&WindowBase::window_proc), &module);
    return module;
}

WindowBase::~WindowBase() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool WindowBase::create_window(const wchar_t* className, UINT classStyle, DWORD exStyle,
                               DWORD style, const wchar_t* title, int x, int y, int width,
                               int height, HWND owner) noexcept {
    HINSTANCE instance = code_module();
    WNDCLASSEXW known = {};
    known.cbSize = sizeof(known);
    if (!GetClassInfoExW(instance, className, &known)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = classStyle;
        wc.lpfnWndProc = &WindowBase::window_proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc)) return false;
    }
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, owner, nullptr,
                           instance, this) != nullptr;
}

LRESULT CALLBACK WindowBase::window_proc(HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = self->handle_message(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

}  // namespace z5calc
