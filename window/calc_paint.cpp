#include "calc_window.h"

namespace z5calc {

void CalcWindow::invalidate(const RECT& r) noexcept {
    if (hwnd()) InvalidateRect(hwnd(), &r, FALSE);
}

// The skin in the display's own format, made at the first paint after the art changed:
// copying it costs far less than converting the 24-bit picture at every paint.
// The art is the module's at the window's DPI, so the two name it.
HBITMAP CalcWindow::skin_face(HDC target) noexcept {
    if (skinFace_ && skinFaceOf_ == std::pair{resources_, dpi_}) return skinFace_.get();
    skinFace_.reset(CreateCompatibleBitmap(target, skin_.width(), skin_.height()));
    skinFaceOf_ = {};
    UniqueMemoryDc dc(target);
    if (!skinFace_ || !dc) return nullptr;
    ScopedSelect face(dc.get(), skinFace_.get());
    skin_.draw(dc.get(), 0, 0);
    skinFaceOf_ = {resources_, dpi_};
    return skinFace_.get();
}

void CalcWindow::draw_skin(HDC target, HDC dc) noexcept {
    UniqueMemoryDc source(target);
    HBITMAP face = source ? skin_face(target) : nullptr;
    if (!face) {
        skin_.draw(dc, 0, 0);
        return;
    }
    ScopedSelect select(source.get(), face);
    BitBlt(dc, 0, 0, skin_.width(), skin_.height(), source.get(), 0, 0, SRCCOPY);
}

// Drawn into a buffer first, so that a key's press never shows the bare skin for a frame.
void CalcWindow::paint(HDC target) noexcept {
    UniqueMemoryDc buffer(target);
    const int width = client_width(), height = client_height();
    UniqueHbitmap surface(CreateCompatibleBitmap(target, width, height));
    if (!buffer || !surface) return;
    HDC dc = buffer.get();
    ScopedSelect bitmap(dc, surface.get());
    draw_skin(target, dc);
    // Drawn last to first, so that the key the hit test finds first is the one on top.
    for (auto k = keys_.rbegin(); k != keys_.rend(); ++k) {
        if (k->Visible) k->picture.draw(dc, k->Left, k->Top);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    if (readoutFont_) {
        ScopedSelect font(dc, readoutFont_.get());
        // The readout holds at most a few dozen ASCII characters.
        wchar_t text[64];
        const std::string_view readout = calc_.readout();
        const int length = static_cast<int>(std::min(readout.size(), std::size(text)));
        for (int i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(readout[i]);
        RECT r = readout_.rect();
        DrawTextW(dc, text, length, &r,
                  DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    if (lblMem_.Visible && memFont_) {
        ScopedSelect font(dc, memFont_.get());
        RECT r = lblMem_.rect();
        DrawTextW(dc, L"M", 1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

}  // namespace z5calc
