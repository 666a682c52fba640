#include "pe_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace z5calc {
namespace {

// Little-endian reads that throw out_of_range past the end, so a malformed file fails the read
// as a whole instead of reading beyond the buffer.
class Bytes {
  public:
    explicit Bytes(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint32_t u16(size_t at) const { return get(at, 2); }
    uint32_t u32(size_t at) const { return get(at, 4); }
    std::string text(size_t at) const {  // NUL-terminated ASCII
        std::string s;
        for (; bytes_.at(at); ++at) s += static_cast<char>(bytes_[at]);
        return s;
    }

  private:
    uint32_t get(size_t at, int size) const {
        uint32_t value = 0;
        for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes_.at(at + i);
        return value;
    }
    const std::vector<uint8_t>& bytes_;
};

struct Section {
    uint32_t address, size, file_offset;
};

class Image {
  public:
    explicit Image(const std::vector<uint8_t>& bytes) : b_(bytes) {
        if (b_.u16(0) != 0x5A4D) throw std::invalid_argument("no MZ header");
        pe_ = b_.u32(0x3C);
        if (b_.u32(pe_) != 0x4550) throw std::invalid_argument("no PE signature");
        const size_t optional = pe_ + 24;
        const size_t table = optional + b_.u16(pe_ + 20);
        for (uint32_t i = 0, n = b_.u16(pe_ + 6); i < n; ++i) {
            const size_t s = table + i * 40;
            sections_.push_back(
                {b_.u32(s + 12), std::max(b_.u32(s + 8), b_.u32(s + 16)), b_.u32(s + 20)});
        }
        magic_ = static_cast<uint16_t>(b_.u16(optional));
        directories_ = optional + (magic_ == 0x20B ? 112 : 96);
    }
    const Bytes& bytes() const { return b_; }
    uint16_t machine() const { return static_cast<uint16_t>(b_.u16(pe_ + 4)); }
    uint16_t magic() const { return magic_; }
    uint16_t dll_characteristics() const { return static_cast<uint16_t>(b_.u16(pe_ + 24 + 70)); }
    uint32_t directory(int entry) const { return b_.u32(directories_ + entry * 8); }
    size_t offset(uint32_t rva) const {
        for (const Section& s : sections_)
            if (rva >= s.address && rva - s.address < s.size)
                return s.file_offset + rva - s.address;
        throw std::out_of_range("an address outside every section");
    }

  private:
    Bytes b_;
    size_t pe_ = 0, directories_ = 0;
    uint16_t magic_ = 0;
    std::vector<Section> sections_;
};

void read_exports(const Image& image, PeFile& pe) {
    const uint32_t rva = image.directory(0);
    if (!rva) return;
    const Bytes& b = image.bytes();
    const size_t dir = image.offset(rva);
    const uint32_t functions = b.u32(dir + 20), names = b.u32(dir + 24);
    const size_t name_rvas = image.offset(b.u32(dir + 32));
    for (uint32_t i = 0; i < names; ++i)
        pe.exports.push_back(b.text(image.offset(b.u32(name_rvas + 4 * i))));
    pe.unnamed_exports = functions > names ? functions - names : 0;
}

void read_imports(const Image& image, PeFile& pe) {
    const uint32_t rva = image.directory(1);
    if (!rva) return;
    const Bytes& b = image.bytes();
    for (size_t d = image.offset(rva); b.u32(d + 12); d += 20)
        pe.imports.push_back(b.text(image.offset(b.u32(d + 12))));
}

// A resource directory entry's id or name; names are counted UTF-16, kept as ASCII.
std::string entry_name(const Bytes& b, size_t root, uint32_t id) {
    if (!(id & 0x80000000u)) return "#" + std::to_string(id);
    const size_t at = root + (id & 0x7FFFFFFFu);
    std::string name;
    for (uint32_t i = 0, n = b.u16(at); i < n; ++i)
        name += static_cast<char>(b.u16(at + 2 + 2 * i));
    return name;
}

void read_resources(const Image& image, PeFile& pe) {
    const uint32_t rva = image.directory(2);
    if (!rva) return;
    const Bytes& b = image.bytes();
    const size_t root = image.offset(rva);
    auto entries = [&](size_t dir, auto each) {
        for (uint32_t i = 0, n = b.u16(dir + 12) + b.u16(dir + 14); i < n; ++i)
            each(b.u32(dir + 16 + 8 * i), b.u32(dir + 20 + 8 * i));
    };
    entries(root, [&](uint32_t type_id, uint32_t types) {
        if (!(types & 0x80000000u)) return;  // a type is always a directory of names
        const std::string type = entry_name(b, root, type_id);
        entries(root + (types & 0x7FFFFFFFu), [&](uint32_t name_id, uint32_t) {
            pe.resources.emplace_back(type, entry_name(b, root, name_id));
        });
    });
}

}  // namespace

std::optional<PeFile> read_pe(const std::vector<uint8_t>& bytes) {
    try {
        const Image image(bytes);
        PeFile pe;
        pe.machine = image.machine();
        pe.optional_magic = image.magic();
        pe.dll_characteristics = image.dll_characteristics();
        read_exports(image, pe);
        read_imports(image, pe);
        read_resources(image, pe);
        return pe;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace z5calc
