#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace z5calc {

// The bytes of one row of a 24-bit bitmap: three a pixel, padded to four.
constexpr std::size_t row_stride(int width) noexcept {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
}

// A 24-bit bitmap resource read in place: the information header and the bottom-up rows that
// follow it. The resource memory lives as long as its module, so a picture owns nothing.
class Picture {
  public:
    Picture() = default;
    Picture(const BITMAPINFO* info, const std::uint8_t* bits) : info_(info), bits_(bits) {}

    int width() const noexcept { return info_ ? info_->bmiHeader.biWidth : 0; }
    int height() const noexcept { return info_ ? info_->bmiHeader.biHeight : 0; }
    const BITMAPINFO* info() const noexcept { return info_; }
    const std::uint8_t* bits() const noexcept { return bits_; }
    explicit operator bool() const noexcept { return info_ != nullptr; }
    friend bool operator==(const Picture&, const Picture&) = default;

    // Draws the picture unscaled with its top-left corner at (x, y).
    void draw(HDC dc, int x, int y) const noexcept;

  private:
    const BITMAPINFO* info_ = nullptr;
    const std::uint8_t* bits_ = nullptr;
};

// The bitmap resource of that name (any case) in module, preferring the Japanese one. Only an
// uncompressed bottom-up 24-bit bitmap whose rows are all there is accepted; otherwise empty.
Picture load_bitmap_resource(HMODULE module, const wchar_t* name) noexcept;

// A private copy of a picture's pixels that answers colour look-ups, as the hit test needs.
class PixelCopy {
  public:
    void copy_from(const Picture& picture);
    void clear() noexcept;
    // The colour at client (x, y) as 0x00BBGGRR, or -1 outside the picture.
    std::int32_t color_at(int x, int y) const noexcept;
    int width() const noexcept { return width_; }
    int height() const noexcept { return height_; }

  private:
    std::vector<std::uint8_t> rows_;  // bottom-up BGR rows, each padded to 4 bytes
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
};

}  // namespace z5calc
