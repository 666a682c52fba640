#pragma once

// What a Windows loader reads of a PE file, read from the file's bytes on any system: a DLL of
// a bitness this machine cannot run is still checked.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace z5calc {

struct PeFile {
    uint16_t machine = 0;
    uint16_t optional_magic = 0;  // 0x10B for a 32-bit image, 0x20B for a 64-bit one
    uint16_t dll_characteristics = 0;
    std::vector<std::string> exports;  // the named exports, as their names are written
    uint32_t unnamed_exports = 0;
    std::vector<std::string> imports;  // the DLLs imported from
    // Every resource as (type, name): an id as "#N", a name as written (rc upper-cases them).
    std::vector<std::pair<std::string, std::string>> resources;
};

// nullopt when the bytes are not a PE image or point outside themselves.
std::optional<PeFile> read_pe(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> file_bytes(const std::string& path);

}  // namespace z5calc
