#include "picture.h"

#include "resource_data.h"

namespace z5calc {

void Picture::draw(HDC dc, int x, int y) const noexcept {
    if (!info_) return;
    SetDIBitsToDevice(dc, x, y, width(), height(), 0, 0, 0, height(), bits_, info_, DIB_RGB_COLORS);
}

Picture load_bitmap_resource(HMODULE module, const wchar_t* name) noexcept {
    const auto resource =
        resource_data(module, name, RT_BITMAP, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    const auto* data = reinterpret_cast<const std::uint8_t*>(resource.data());
    const std::size_t size = resource.size();
    if (size < sizeof(BITMAPINFOHEADER)) return {};
    auto* info = reinterpret_cast<const BITMAPINFO*>(data);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biBitCount != 24 || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || h.biHeight <= 0 || h.biWidth > 4096 || h.biHeight > 4096) {
        return {};
    }
    const std::size_t offset = h.biSize + static_cast<std::size_t>(h.biClrUsed) * sizeof(RGBQUAD);
    if (offset > size || (size - offset) / row_stride(h.biWidth) < static_cast<DWORD>(h.biHeight)) {
        return {};
    }
    return Picture(info, data + offset);
}

void PixelCopy::copy_from(const Picture& picture) {
    if (!picture) {
        clear();
        return;
    }
    width_ = picture.width();
    height_ = picture.height();
    stride_ = row_stride(width_);
    rows_.assign(picture.bits(), picture.bits() + stride_ * static_cast<std::size_t>(height_));
}

void PixelCopy::clear() noexcept {
    rows_.clear();
    width_ = height_ = 0;
    stride_ = 0;
}

std::int32_t PixelCopy::color_at(int x, int y) const noexcept {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return -1;
    const std::uint8_t* bgr =
        rows_.data() + static_cast<std::size_t>(height_ - 1 - y) * stride_ + x * 3;
    return static_cast<std::int32_t>(RGB(bgr[2], bgr[1], bgr[0]));
}

}  // namespace z5calc
