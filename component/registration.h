#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace z5calc {

// One registry entry under HKEY_CLASSES_ROOT. A row without a value name only makes the key.
// Shared rows (the type library's common keys and the ProgIDs, one key for both bitnesses on
// 64-bit Windows) serve the 32-bit and the 64-bit component alike and are removed only when
// neither remains registered.
struct RegistryRow {
    std::wstring key;
    bool has_value;
    std::wstring name;
    std::wstring value;
    bool shared;
};

// What registration writes for the component at module_path, in order, parents first.
std::vector<RegistryRow> registration_rows(const std::wstring& module_path);

// Writes every row for this module (undoing them all if one fails), or removes them.
HRESULT register_server() noexcept;
HRESULT unregister_server() noexcept;

}  // namespace z5calc
