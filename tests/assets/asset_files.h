#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Reading the committed assets as bytes.
namespace asset_files {

inline const std::string kAssets = ASSETS_DIR;

inline std::vector<unsigned char> read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), {});
}

// A little-endian 32-bit value at `at`.
inline std::int32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
    std::uint32_t v = b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                      (static_cast<std::uint32_t>(b[at + 3]) << 24);
    return static_cast<std::int32_t>(v);
}

}  // namespace asset_files
