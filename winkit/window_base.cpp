#include "window_base.h"

#include "exclusive_lock.h"
#include "module_count.h"

namespace z5calc {
namespace {

// Window classes are process-wide while the objects behind them belong to their thread: the
// registration is shared by every thread and guarded here.
SRWLOCK g_classLock = SRWLOCK_INIT;
constexpr int kMaxClasses = 8;
const wchar_t* g_classes[kMaxClasses] = {};
int g_classCount = 0;

}  // namespace

HINSTANCE WindowBase::code_module() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&WindowBase::window_proc), &module);
    return module;
}

void WindowBase::unregister_classes() noexcept {
    ExclusiveLock lock(g_classLock);
    for (int i = 0; i < g_classCount; ++i) UnregisterClassW(g_classes[i], code_module());
    g_classCount = 0;
}

WindowBase::~WindowBase() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool WindowBase::register_class(const wchar_t* className, UINT classStyle, HICON icon) noexcept {
    ExclusiveLock lock(g_classLock);
    HINSTANCE instance = code_module();
    WNDCLASSEXW known = {};
    known.cbSize = sizeof(known);
    if (GetClassInfoExW(instance, className, &known)) return true;
    if (g_classCount == kMaxClasses) return false;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &WindowBase::window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) return false;
    g_classes[g_classCount++] = className;
    return true;
}

bool WindowBase::create_window(const wchar_t* className, UINT classStyle, DWORD exStyle,
                               DWORD style, const wchar_t* title, int x, int y, int width,
                               int height, HWND owner, HICON classIcon) noexcept {
    if (!register_class(className, classStyle, classIcon)) return false;
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, owner, nullptr,
                           code_module(), this) != nullptr;
}

LRESULT CALLBACK WindowBase::window_proc(HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        // The window's procedure is this module's code: the module stays while it exists.
        module_hold();
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = self->handle_message(message, wParam, lParam);
    // A modal display on this window waits for the thread's next message and then looks at the
    // window again. Hidden or gone, however that came about (a message sent from another thread
    // is handled inside the wait), the thread is given a message to wake it.
    if ((message == WM_WINDOWPOSCHANGED &&
         (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW)) ||
        message == WM_NCDESTROY) {
        PostMessageW(nullptr, WM_NULL, 0, 0);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        module_let_go();
    }
    return result;
}

}  // namespace z5calc
