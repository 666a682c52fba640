#include "pe_image.h"

namespace {

const IMAGE_DATA_DIRECTORY& directory(HMODULE module, int entry) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

}  // namespace

std::vector<std::string> imported_dlls(HMODULE module) {
    std::vector<std::string> names;
    auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& dir = directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (dir.VirtualAddress == 0) return names;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         d->Name; ++d) {
        names.emplace_back(reinterpret_cast<const char*>(base + d->Name));
    }
    return names;
}

std::vector<std::string> exported_names(HMODULE module) {
    std::vector<std::string> names;
    auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& dir = directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (dir.VirtualAddress == 0) return names;
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* name_rvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        names.emplace_back(reinterpret_cast<const char*>(base + name_rvas[i]));
    }
    return names;
}

DWORD unnamed_export_count(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& dir = directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (dir.VirtualAddress == 0) return 0;
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    return exports->NumberOfFunctions - exports->NumberOfNames;
}
