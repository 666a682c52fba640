#pragma once

#include <windows.h>

namespace z5calc {

// The base of every window of the component: one static window procedure finds the object
// through the pointer stored when the window is created and hands it the message.
// Invariant: hwnd() is the object's live window, or null before creation and after destruction.
class WindowBase {
  public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const noexcept { return hwnd_; }

    // The module that holds the code of the component's windows, where their classes live.
    static HINSTANCE code_module() noexcept;

    // Takes back every class this module registered. Called as the module unloads: by then no
    // window of them is left, since each window holds the module while it exists.
    static void unregister_classes() noexcept;

  protected:
    // Destroys a window that is still there.
    ~WindowBase();

    // Registers the class once per loaded module (again after a failed registration) and
    // creates the window. False when either fails. className must be a static string: it is
    // kept until the module unloads. classIcon, a shared icon of the module, is the class's:
    // the window has it from its creation on, with no WM_SETICON to convert it once more.
    bool create_window(const wchar_t* className, UINT classStyle, DWORD exStyle, DWORD style,
                       const wchar_t* title, int x, int y, int width, int height, HWND owner,
                       HICON classIcon = nullptr) noexcept;

    // Answers WM_PAINT (between BeginPaint and EndPaint) and WM_PRINTCLIENT with one painter.
    template <class Painter>
    LRESULT paint_message(UINT message, WPARAM wParam, Painter&& paint) noexcept {
        if (message == WM_PRINTCLIENT) {
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(hwnd_, &ps)) {
            paint(dc);
            EndPaint(hwnd_, &ps);
        }
        return 0;
    }

    // Handles one message; DefWindowProcW for what the window leaves alone.
    virtual LRESULT handle_message(UINT message, WPARAM wParam, LPARAM lParam) noexcept = 0;

  private:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept;
    static bool register_class(const wchar_t* className, UINT classStyle, HICON icon) noexcept;

    HWND hwnd_ = nullptr;
};

}  // namespace z5calc
