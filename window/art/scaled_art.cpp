#include "scaled_art.h"

#include <wincodec.h>

#include <cstring>
#include <string>

#include "dpi_scale.h"
#include "gdi_handles.h"
#include "handles.h"
#include "resource_data.h"
#include "wide_decimal.h"

namespace z5calc {
namespace {

// COM for the imaging component, on a thread that may not have it yet: a host's thread keeps
// whatever apartment it has.
class ComScope {
  public:
    ComScope() noexcept : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT hr_;
};

// Decodes an image resource into `out` at width x height, scaled with the Fant filter when its
// own size differs.
bool decode(IWICImagingFactory* wic, std::span<const std::byte> png, int width, int height,
            OwnedBitmap& out) {
    if (png.empty()) return false;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(wic->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(
            reinterpret_cast<BYTE*>(const_cast<std::byte*>(png.data())),
            static_cast<DWORD>(png.size()))) ||
        FAILED(wic->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                            decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) ||
        FAILED(wic->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return false;
    }
    IWICBitmapSource* source = converter.get();
    UINT ownWidth = 0, ownHeight = 0;
    if (FAILED(source->GetSize(&ownWidth, &ownHeight))) return false;
    ComPtr<IWICBitmapScaler> scaler;
    if (ownWidth != static_cast<UINT>(width) || ownHeight != static_cast<UINT>(height)) {
        if (FAILED(wic->CreateBitmapScaler(scaler.put())) ||
            FAILED(scaler->Initialize(source, width, height, WICBitmapInterpolationModeFant))) {
            return false;
        }
        source = scaler.get();
    }
    if (!out.resize(width, height)) return false;
    // Read as 32-bit BGRA, which every converter offers (Wine's gives no 24-bit BGR from a
    // palette), then packed into the bitmap's 24-bit rows.
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    std::vector<BYTE> rows(stride * static_cast<std::size_t>(height));
    if (FAILED(source->CopyPixels(nullptr, static_cast<UINT>(stride),
                                  static_cast<UINT>(rows.size()), rows.data()))) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        const BYTE* from = rows.data() + static_cast<std::size_t>(y) * stride;
        std::uint8_t* to = out.row(y);
        for (int x = 0; x < width; ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
    return true;
}

// The 96-DPI picture stretched to width x height with the system's smooth filter: the art when
// the imaging component is missing.
bool stretch(const Picture& from, int width, int height, OwnedBitmap& out) {
    if (!from || !out.resize(width, height)) return false;
    UniqueMemoryDc dc(WindowDc().get());
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueHbitmap section(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !section || !bits) return false;
    {
        ScopedSelect select(dc.get(), section.get());
        SetStretchBltMode(dc.get(), HALFTONE);
        SetBrushOrgEx(dc.get(), 0, 0, nullptr);
        StretchDIBits(dc.get(), 0, 0, width, height, 0, 0, from.width(), from.height(), from.bits(),
                      from.info(), DIB_RGB_COLORS, SRCCOPY);
        GdiFlush();
    }
    std::memcpy(out.row(height - 1), bits, row_stride(width) * static_cast<std::size_t>(height));
    return true;
}

}  // namespace

bool OwnedBitmap::resize(int width, int height) {
    clear();
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return false;
    bits_.assign(row_stride(width) * static_cast<std::size_t>(height), 0);
    info_.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    return true;
}

void OwnedBitmap::clear() noexcept {
    bits_.clear();
    info_ = {};
}

Picture OwnedBitmap::picture() const noexcept {
    return bits_.empty() ? Picture() : Picture(&info_, bits_.data());
}

std::uint8_t* OwnedBitmap::row(int y) noexcept {
    return bits_.data() + static_cast<std::size_t>(height() - 1 - y) * row_stride(width());
}

const std::uint8_t* OwnedBitmap::row(int y) const noexcept {
    return bits_.data() + static_cast<std::size_t>(height() - 1 - y) * row_stride(width());
}

bool OwnedBitmap::copy_part(const OwnedBitmap& from, int x, int y, int width, int height) {
    if (x < 0 || y < 0 || x + width > from.width() || y + height > from.height()) return false;
    if (!resize(width, height)) return false;
    for (int r = 0; r < height; ++r) {
        std::memcpy(row(r), from.row(y + r) + static_cast<std::size_t>(x) * 3,
                    static_cast<std::size_t>(width) * 3);
    }
    return true;
}

void ScaledArt::clear() noexcept {
    dpi_ = 0;
    module_ = nullptr;
    drawn_ = false;
    skin_.clear();
    for (OwnedBitmap& p : pressed_) p.clear();
    rest_.clear();
}

bool ScaledArt::load(HMODULE module, int dpi) noexcept {
    clear();
    try {
        const int width = scaled(210, dpi), height = scaled(273, dpi);
        const std::wstring percent = wide_decimal(art_percent(dpi));
        const KeyRect trans = scaled(key_spec(KeyId::Trans).rect, dpi);
        OwnedBitmap sheet;
        bool drawn = false;
        {
            ComScope com;
            ComPtr<IWICImagingFactory> wic;
            if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_PPV_ARGS(wic.put())))) {
                drawn =
                    decode(wic.get(), resource_data(module, (L"SKIN" + percent).c_str(), L"PNG"),
                           width, height, skin_) &&
                    decode(wic.get(), resource_data(module, (L"PRESSED" + percent).c_str(), L"PNG"),
                           width, height, sheet) &&
                    decode(wic.get(), resource_data(module, (L"TROFF" + percent).c_str(), L"PNG"),
                           trans.width, trans.height, rest_);
            }
        }
        // A pressed picture lies at its key's corner with the 96-DPI picture's size.
        auto pressed_rect = [&](const KeyRow& entry, const Picture& base) {
            return scaled(KeyRect{entry.rect.left, entry.rect.top, base.width(), base.height()},
                          dpi);
        };
        for (const KeyRow& entry : kKeys) {
            if (!drawn) break;
            const KeyRect r =
                pressed_rect(entry, load_bitmap_resource(module, entry.picture.c_str()));
            drawn = pressed_[static_cast<std::size_t>(entry.id)].copy_part(sheet, r.left, r.top,
                                                                           r.width, r.height);
        }
        if (!drawn) {
            bool stretched = stretch(load_bitmap_resource(module, L"SKIN"), width, height, skin_) &&
                             stretch(load_bitmap_resource(module, kTransferAtRest.c_str()),
                                     trans.width, trans.height, rest_);
            for (const KeyRow& entry : kKeys) {
                const Picture base = load_bitmap_resource(module, entry.picture.c_str());
                const KeyRect r = pressed_rect(entry, base);
                stretched = stretched && stretch(base, r.width, r.height,
                                                 pressed_[static_cast<std::size_t>(entry.id)]);
            }
            if (!stretched) {
                clear();
                return false;
            }
        }
        dpi_ = dpi;
        module_ = module;
        drawn_ = drawn;
        return true;
    } catch (...) {
        clear();
        return false;
    }
}

}  // namespace z5calc
