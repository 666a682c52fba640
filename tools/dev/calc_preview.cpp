// Shows the calculator window with a calculation on it and saves what the screen shows around
// it as a 24-bit BMP:  calc-preview DLL OUT.bmp [KEY...]
// The window is driven through its key controls, the way a mouse click reaches them.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "calc_window.h"
#include "screen_capture.h"
#include "screen_rules.h"
#include "window_dpi.h"

namespace {

using z5calc::CalcWindow;
using z5calc::Control;

const Control* key_by_tag(const CalcWindow& window, const std::wstring& tag) {
    const auto id = z5calc::key_tagged(tag);
    return id ? &window.face().key(*id) : nullptr;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: calc-preview DLL OUT.bmp [KEY...]\n");
        return 2;
    }
    HMODULE dll = LoadLibraryW(argv[1]);
    if (!dll) {
        std::fprintf(stderr, "calc-preview: cannot load %ls\n", argv[1]);
        return 1;
    }
    // Twips per pixel as the component records them on this screen.
    const std::int32_t twips = z5calc::whole_twips(z5calc::screen_dpi().y);
    z5calc::Calculation calculation;
    CalcWindow window(calculation);
    if (!window.load(dll, {twips, twips})) {
        std::fprintf(stderr, "calc-preview: the window cannot be created\n");
        return 1;
    }
    window.show_transfer_key(true);
    SetWindowPos(window.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int i = 3; i < argc; ++i) {
        const Control* key = key_by_tag(window, argv[i]);
        if (!key) {
            std::fprintf(stderr, "calc-preview: no key %ls\n", argv[i]);
            return 2;
        }
        const LPARAM at = MAKELPARAM(key->Left + key->Width / 2, key->Top + key->Height / 2);
        SendMessageW(window.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(window.hwnd(), WM_LBUTTONUP, 0, at);
    }
    UpdateWindow(window.hwnd());
    // Let the display settle: the window's outline and paint reach the screen asynchronously.
    for (int i = 0; i < 20; ++i) {
        pump();
        Sleep(25);
    }
    RECT area = {};
    POINT origin = {0, 0};
    ClientToScreen(window.hwnd(), &origin);
    const int margin = window.face().client_width() * 12 / z5calc::CalcFace::kClientWidth;
    area = {origin.x - margin, origin.y - margin, origin.x + window.face().client_width() + margin,
            origin.y + window.face().client_height() + margin};
    if (!z5calc::save_screen_bmp(argv[2], area)) {
        std::fprintf(stderr, "calc-preview: cannot write %ls\n", argv[2]);
        return 1;
    }
    return 0;
}
