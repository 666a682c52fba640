#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <vector>

#include "key_table.h"
#include "picture.h"

namespace z5calc {

// A 24-bit bottom-up bitmap the program owns, shown through a Picture. Not copyable: its
// pictures point into it.
class OwnedBitmap {
  public:
    OwnedBitmap() = default;
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;

    // Makes a blank width x height bitmap; false (and empty) when that is no sensible size.
    bool resize(int width, int height);
    void clear() noexcept;
    Picture picture() const noexcept;
    std::uint8_t* row(int y) noexcept;  // y counted from the top
    const std::uint8_t* row(int y) const noexcept;
    int width() const noexcept { return info_.bmiHeader.biWidth; }
    int height() const noexcept { return info_.bmiHeader.biHeight; }
    // Copies the part at (x, y) of `from` into a new bitmap of the part's size.
    bool copy_part(const OwnedBitmap& from, int x, int y, int width, int height);

  private:
    BITMAPINFO info_ = {};
    std::vector<std::uint8_t> bits_;
};

// The calculator's art at one DPI other than 96: the skin, each key's pressed picture and the
// transfer key's picture at rest. The drawn scale for that DPI is used as it is; other DPIs use
// the nearest larger drawn scale, scaled down smoothly. Decoded by the platform's imaging
// component; without it, the 96-DPI art is stretched smoothly instead.
class ScaledArt {
  public:
    // False when even the fallback fails (no memory); the window then keeps the 96-DPI art.
    bool load(HMODULE module, int dpi) noexcept;
    void clear() noexcept;
    bool loaded() const noexcept { return dpi_ != 0; }
    int dpi() const noexcept { return dpi_; }
    HMODULE module() const noexcept { return module_; }
    // Whether the art is the drawn art (not the 96-DPI art stretched for want of a decoder).
    bool drawn() const noexcept { return drawn_; }

    Picture skin() const noexcept { return skin_.picture(); }
    Picture pressed(KeyId id) const noexcept {
        return pressed_[static_cast<std::size_t>(id)].picture();
    }
    Picture transfer_at_rest() const noexcept { return rest_.picture(); }

  private:
    int dpi_ = 0;
    HMODULE module_ = nullptr;
    bool drawn_ = false;
    OwnedBitmap skin_;
    std::array<OwnedBitmap, kKeyCount> pressed_;
    OwnedBitmap rest_;
};

}  // namespace z5calc
