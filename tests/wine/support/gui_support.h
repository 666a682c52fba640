#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Runs the tests of this program inside a Wine virtual desktop of its own, where message boxes
// close at once and no other test's windows are seen. The program starts itself again on that
// desktop and returns its exit code; a run that outlasts the time limit is ended and fails.
int run_gui_tests(int argc, char** argv);

// The text of a standard message box with that caption, found within the time limit and then
// dismissed with OK. Watches from its own thread while the test's thread sits in the box.
class MessageBoxWatch {
  public:
    explicit MessageBoxWatch(std::wstring caption,
                             std::chrono::milliseconds limit = std::chrono::seconds(10));
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;
    ~MessageBoxWatch();

    // Waits for the watch to end: true and the box's text when one was seen and dismissed.
    bool seen(std::wstring& text);
    // After seen(): where the box stood, and the characters of its text its font cannot draw.
    RECT rect() const { return rect_; }
    const std::wstring& missing_glyphs() const { return missing_; }

  private:
    static DWORD WINAPI watch(void* self);

    std::wstring caption_;
    std::chrono::milliseconds limit_;
    std::wstring text_;
    RECT rect_ = {};
    std::wstring missing_;
    bool seen_ = false;
    HDESK desktop_;
    HANDLE thread_ = nullptr;
};

// Plays the user at the companion's message window (class `className`) from a thread of its
// own: waits for the window, reads the text of its control 100, then runs `act` on it.
class CompanionUser {
  public:
    CompanionUser(const wchar_t* className, std::function<void(HWND)> act);
    CompanionUser(const CompanionUser&) = delete;
    CompanionUser& operator=(const CompanionUser&) = delete;
    ~CompanionUser();
    // The text the window showed, once the user has acted; empty if it never came.
    std::wstring text();

  private:
    static DWORD WINAPI run(void* self);

    std::wstring className_;
    std::function<void(HWND)> act_;
    HDESK desktop_;
    HANDLE thread_ = nullptr;
    std::wstring text_;
};

// The characters of `text` that `font` has no glyph for, linked fonts included as the system
// draws them (Wine's glyph look-up follows the font links).
std::wstring missing_glyphs(HFONT font, const std::wstring& text);

// The centre of a window's rectangle.
POINT centre_of(HWND window);

// The clipboard's Unicode text, as a paste would give it ("(not open)" when it cannot be read).
std::wstring clipboard_unicode();

// Puts the mouse pointer at (x, y) and waits until the system reports it there steadily: under
// Wine a pointer event of the X server still in flight can otherwise move it back after the set.
bool put_pointer(int x, int y);

// The pixels of `area` (client coordinates) as the window paints them (WM_PRINTCLIENT), row by
// row: independent of what the screen shows at the moment.
std::vector<COLORREF> painted_pixels(HWND window, const RECT& area);
