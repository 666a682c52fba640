#include "calc_window.h"

namespace z5calc {

void CalcWindow::create_controls() noexcept {
    for (Control& k : keys_) k = Control{};
    control_of(KeyId::Trans).Visible = false;
    readout_ = Control{};
    lblMem_ = Control{};
    lblMem_.Visible = false;
    picWkBox_ = Control{};
    picWkBox_.Visible = false;
    // Outside the client area, 3240 x 4680 twips from its corner.
    picWkBox_.place(
        {3240 / metrics_.twipsX, 4680 / metrics_.twipsY, skin_.width(), skin_.height()});
}

void CalcWindow::measure_character() noexcept {
    HDC dc = GetDC(hwnd());
    if (!dc) return;
    {
        ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, L"\u25A1", 1, &size)) {
            charWidth_ = size.cx;
            charHeight_ = size.cy;
        }
    }
    ReleaseDC(hwnd(), dc);
}

void CalcWindow::arrange_keys() noexcept {
    HDC dc = GetDC(hwnd());
    const int dpiX = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    const int dpiY = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;

    // The readout keeps the window's font face, made bold and sized by the start-up's twips.
    LOGFONTW face = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face);
    LOGFONTW lf = face;
    lf.lfHeight = font_height_request(readout_font_points(metrics_.twipsY), dpiY);
    lf.lfWidth = 0;
    lf.lfWeight = FW_BOLD;
    readoutFont_.reset(CreateFontIndirectW(&lf));
    readout_.place(kReadoutRect);

    for (const KeySpec& spec : kKeys) control_of(spec.id).place(spec.rect);

    // The memory mark follows the screen's own twips per pixel, in fractional points.
    LOGFONTW arial = {};
    arial.lfHeight = font_height_request(mem_font_points(1440.0 / dpiX), dpiY);
    arial.lfWeight = FW_BOLD;
    arial.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(arial.lfFaceName, L"Arial", LF_FACESIZE);
    memFont_.reset(CreateFontIndirectW(&arial));
    lblMem_.Left = kMemMarkLeft;
    lblMem_.Top = kMemMarkTop;
    if (dc) {
        // The mark sizes itself to its text.
        ScopedSelect font(dc, memFont_.get());
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, L"M", 1, &size)) {
            lblMem_.Width = size.cx;
            lblMem_.Height = size.cy;
        }
        ReleaseDC(hwnd(), dc);
    }

    key_up(KeyId::Trans, 0, 0);  // gives it its picture at rest

    // Outer size = outer - client + wanted client. In pixels this is the twips computation
    // divided through by twips per pixel, without its rounding.
    RECT outer = {}, client = {};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    if (client.right == kClientWidth && client.bottom == kClientHeight) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left - client.right + kClientWidth,
                 outer.bottom - outer.top - client.bottom + kClientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace z5calc
