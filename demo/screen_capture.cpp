#include "screen_capture.h"

#include <fstream>
#include <vector>

namespace z5calc {

namespace {

bool write_bmp(const wchar_t* path, HDC memory, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = (width * 3 + 3) & ~3;
    std::vector<char> rows(stride * height);
    GetDIBits(memory, bitmap, 0, height, rows.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info), sizeof(info));
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    return static_cast<bool>(out);
}

// A memory bitmap to draw into, compatible with the screen; everything goes at the end.
class Canvas {
  public:
    Canvas(HDC screen, int width, int height)
        : dc_(CreateCompatibleDC(screen)),
          bitmap_(CreateCompatibleBitmap(screen, width, height)),
          previous_(SelectObject(dc_, bitmap_)),
          width_(width),
          height_(height) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // The pixels are read with the bitmap out of the DC, as GetDIBits requires.
    bool write(const wchar_t* path) {
        SelectObject(dc_, previous_);
        const bool written = write_bmp(path, dc_, bitmap_, width_, height_);
        SelectObject(dc_, bitmap_);
        return written;
    }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    int width_, height_;
};

// Draws one window (or only its client area) into the canvas where it lies on the screen.
void print_window(HDC canvas, HDC screen, HWND window, const RECT& area, bool clientOnly) {
    RECT r = {};
    POINT origin = {0, 0};
    if (clientOnly) {
        GetClientRect(window, &r);
        ClientToScreen(window, &origin);
    } else {
        GetWindowRect(window, &r);
        origin = {r.left, r.top};
    }
    const int w = r.right - r.left, h = r.bottom - r.top;
    Canvas single(screen, w, h);
    PrintWindow(window, single.dc(), clientOnly ? PW_CLIENTONLY : 0);
    BitBlt(canvas, origin.x - area.left, origin.y - area.top, w, h, single.dc(), 0, 0, SRCCOPY);
}

}  // namespace

bool save_screen_bmp(const wchar_t* path, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    bool written = false;
    {
        Canvas canvas(screen, width, height);
        BitBlt(canvas.dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        written = canvas.write(path);
    }
    ReleaseDC(nullptr, screen);
    return written;
}

bool save_windows_bmp(const wchar_t* path, const RECT& area, std::initializer_list<HWND> windows) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    bool written = false;
    {
        Canvas canvas(screen, width, height);
        RECT all = {0, 0, width, height};
        HBRUSH background = CreateSolidBrush(RGB(0x3A, 0x6E, 0xA5));
        FillRect(canvas.dc(), &all, background);
        DeleteObject(background);
        for (HWND window : windows) {
            // The window itself (frame and client), clipped by its outline...
            HRGN outline = CreateRectRgn(0, 0, 0, 0);
            RECT r = {};
            GetWindowRect(window, &r);
            if (GetWindowRgn(window, outline) == ERROR)
                SetRectRgn(outline, 0, 0, r.right - r.left, r.bottom - r.top);
            OffsetRgn(outline, r.left - area.left, r.top - area.top);
            SelectClipRgn(canvas.dc(), outline);
            print_window(canvas.dc(), screen, window, area, false);
            // ...its client area drawn again where it lies, and then its child windows.
            print_window(canvas.dc(), screen, window, area, true);
            for (HWND child = GetWindow(window, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                if (IsWindowVisible(child)) print_window(canvas.dc(), screen, child, area, false);
            }
            SelectClipRgn(canvas.dc(), nullptr);
            DeleteObject(outline);
        }
        written = canvas.write(path);
    }
    ReleaseDC(nullptr, screen);
    return written;
}

COLORREF screen_pixel(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return color;
}

}  // namespace z5calc
