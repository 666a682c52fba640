#include "calc_face.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace z5calc {

// The skin in the display's own format, made at the first paint after the art changed:
// copying it costs far less than converting the 24-bit picture at every paint.
// The art is the module's at the window's DPI, so the two name it.
HBITMAP CalcFace::skin_face(HDC target) noexcept {
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

void CalcFace::draw_skin(HDC target, HDC dc) noexcept {
    UniqueMemoryDc source(target);
    HBITMAP face = source ? skin_face(target) : nullptr;
    if (!face) {
        skin_.draw(dc, 0, 0);
        return;
    }
    ScopedSelect select(source.get(), face);
    BitBlt(dc, 0, 0, skin_.width(), skin_.height(), source.get(), 0, 0, SRCCOPY);
}

namespace {

// How far the text's ink reaches to the left of its right edge: its advance, and the first
// glyph's overhang where it starts left of its cell (a bold italic minus may).
int ink_width(HDC dc, const wchar_t* text, int length) noexcept {
    SIZE size = {};
    if (length <= 0 || !GetTextExtentPoint32W(dc, text, length, &size)) return 0;
    ABC abc = {};
    const int overhang =
        GetCharABCWidthsW(dc, text[0], text[0], &abc) && abc.abcA < 0 ? -abc.abcA : 0;
    return size.cx + overhang;
}

int ascent_of(HDC dc) noexcept {
    TEXTMETRICW metrics = {};
    return GetTextMetricsW(dc, &metrics) ? metrics.tmAscent : 0;
}

}  // namespace

// The seed font where the text fits the readout; where it does not (a wide face, a long
// negative number), the same face made just small enough, so that no sign or digit is lost.
HFONT CalcFace::readout_font_for(HDC dc, const wchar_t* text, int length) noexcept {
    const int room = readout_room();
    int width = 0;
    {
        ScopedSelect seed(dc, readoutFont_.get());
        width = ink_width(dc, text, length);
    }
    if (width <= room || room <= 0) return readoutFont_.get();
    LOGFONTW lf = {};
    if (!GetObjectW(readoutFont_.get(), sizeof(lf), &lf)) return readoutFont_.get();
    const int sign = lf.lfHeight < 0 ? -1 : 1;
    // Text width follows the height closely: the first try nearly always fits.
    for (int height = std::abs(lf.lfHeight) * room / width; height > 0; --height) {
        if (!fitFont_ || fitHeight_ != height) {
            lf.lfHeight = sign * height;
            fitFont_.reset(CreateFontIndirectW(&lf));
            fitHeight_ = fitFont_ ? height : 0;
            if (!fitFont_) break;
        }
        ScopedSelect fit(dc, fitFont_.get());
        if (ink_width(dc, text, length) <= room) return fitFont_.get();
    }
    return fitFont_ ? fitFont_.get() : readoutFont_.get();
}

// Right-aligned, on the seed font's baseline whatever size the text takes.
void CalcFace::draw_readout(HDC dc, std::string_view readout) noexcept {
    if (!readoutFont_) return;
    // The readout holds at most a few dozen ASCII characters.
    wchar_t text[64];
    const int length = static_cast<int>(std::min(readout.size(), std::size(text)));
    for (int i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(readout[i]);
    HFONT font = readout_font_for(dc, text, length);
    RECT r = readout_.rect();
    if (font != readoutFont_.get()) {
        // On the seed's baseline, but never below the readout's bottom: a seed font taller
        // than the readout (the scale changed since start-up) would put the text under it.
        ScopedSelect seed(dc, readoutFont_.get());
        const int seedAscent = ascent_of(dc);
        ScopedSelect fit(dc, font);
        const int fitAscent = ascent_of(dc);
        r.top += std::min(seedAscent - fitAscent, std::max(0, readout_.Height - fitAscent));
    }
    ScopedSelect select(dc, font);
    DrawTextW(dc, text, length, &r, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

// The whole readout, less the rate mark's place while it is shown: a long number then takes a
// smaller size rather than run under the mark.
int CalcFace::readout_room() const noexcept {
    if (marks_.right() == 0) return readout_.Width;
    return readout_.Left + readout_.Width - (marks_.right() + scaled(4, dpi_));
}

void CalcFace::draw_mem_mark(HDC dc) noexcept {
    if (!lblMem_.Visible || !memFont_) return;
    ScopedSelect font(dc, memFont_.get());
    RECT r = lblMem_.rect();
    DrawTextW(dc, L"M", 1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

// Drawn into a buffer first, so that a key's press never shows the bare skin for a frame.
void CalcFace::paint(HDC target, HWND window, std::string_view readout,
                     std::optional<KeyId> pressed) noexcept {
    UniqueMemoryDc buffer(target);
    const int width = client_width(), height = client_height();
    UniqueHbitmap surface(CreateCompatibleBitmap(target, width, height));
    if (!buffer || !surface) return;
    HDC dc = buffer.get();
    ScopedSelect bitmap(dc, surface.get());
    if (contrast_) {
        paint_contrast(dc, window, pressed);
    } else {
        draw_skin(target, dc);
        // Drawn last to first, so that the key the hit test finds first is the one on top.
        for (auto k = keys_.rbegin(); k != keys_.rend(); ++k) {
            if (k->Visible) k->picture.draw(dc, k->Left, k->Top);
        }
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
    }
    draw_readout(dc, readout);
    draw_mem_mark(dc);
    rateMark_.draw(dc, contrast_);
    marks_.draw(dc, contrast_ ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0xB0, 0x20, 0x20));
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

}  // namespace z5calc
