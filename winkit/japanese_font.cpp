#include "japanese_font.h"

#include <cwchar>
#include <iterator>

#include "gdi_handles.h"

namespace z5calc {
namespace {

constexpr const wchar_t* kPreferredFaces[] = {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};

struct FaceSearch {
    int preferred = static_cast<int>(std::size(kPreferredFaces));  // the best rank seen
    wchar_t face[LF_FACESIZE] = L"";
};

int CALLBACK consider_face(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data) {
    auto& search = *reinterpret_cast<FaceSearch*>(data);
    const wchar_t* name = font->lfFaceName;
    if (name[0] == L'@') return 1;  // the vertical-writing twin of a face
    for (int rank = 0; rank < search.preferred; ++rank) {
        if (std::wcscmp(name, kPreferredFaces[rank]) == 0) {
            search.preferred = rank;
            lstrcpynW(search.face, name, LF_FACESIZE);
            return rank == 0 ? 0 : 1;  // nothing beats the first
        }
    }
    if (!search.face[0]) lstrcpynW(search.face, name, LF_FACESIZE);
    return 1;
}

}  // namespace

const wchar_t* japanese_ui_face() noexcept {
    // Found once: enumerating the fonts takes milliseconds, and the installed set rarely
    // changes while a process runs. A function-local static is made by one thread only.
    static const FaceSearch found = [] {
        FaceSearch search;
        const WindowDc screen;
        if (!screen) return search;
        LOGFONTW wanted = {};
        wanted.lfCharSet = SHIFTJIS_CHARSET;
        EnumFontFamiliesExW(screen.get(), &wanted, consider_face, reinterpret_cast<LPARAM>(&search),
                            0);
        return search;
    }();
    return found.face;
}

HFONT create_japanese_ui_font(int dpi) noexcept {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return static_cast<HFONT>(nullptr);
    }
    LOGFONTW lf = metrics.lfMessageFont;
    // The system gives the size at its own DPI; a window at another DPI scales it.
    const int system = GetDeviceCaps(WindowDc().get(), LOGPIXELSY);
    if (system > 0 && dpi > 0 && dpi != system) lf.lfHeight = MulDiv(lf.lfHeight, dpi, system);
    if (const wchar_t* face = japanese_ui_face(); face[0]) {
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        lf.lfCharSet = SHIFTJIS_CHARSET;
    }
    return CreateFontIndirectW(&lf);
}

HFONT create_japanese_font(int pixels, int weight, BYTE quality) noexcept {
    LOGFONTW lf = {};
    lf.lfHeight = -pixels;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = quality;
    if (const wchar_t* face = japanese_ui_face(); face[0]) {
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        lf.lfCharSet = SHIFTJIS_CHARSET;
    } else {
        lstrcpynW(lf.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    }
    return CreateFontIndirectW(&lf);
}

}  // namespace z5calc
