#include "registration.h"

#include <objbase.h>
#include <olectl.h>

#include <cstdint>

#include "handles.h"
#include "settings_store.h"
#include "window_base.h"
#include "z5calcD_h.h"

namespace z5calc {

namespace {

// The type library's key for this module's bitness, and the other's.
#ifdef _WIN64
constexpr const wchar_t* kPlatformKey = L"\\1.0\\0\\win64";
constexpr const wchar_t* kOtherPlatform = L"win32";
#else
constexpr const wchar_t* kPlatformKey = L"\\1.0\\0\\win32";
constexpr const wchar_t* kOtherPlatform = L"win64";
#endif

constexpr const wchar_t* kProgId = L"z5calcD.zelcalc";
constexpr const wchar_t* kVersionedProgId = L"z5calcD.zelcalc.1";
// The type library's own marshaller for dual and oleautomation interfaces.
constexpr const wchar_t* kTypeLibMarshaler = L"{00020424-0000-0000-C000-000000000046}";

std::wstring guid_text(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring typelib_key() {
    return L"TypeLib\\" + guid_text(LIBID_z5calcD);
}

bool key_is_empty(HKEY key) {
    DWORD subkeys = 0, values = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return subkeys == 0 && values == 0;
}

bool key_exists(const std::wstring& path) {
    UniqueHkey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// Removes what one row wrote, then its key if nothing else is left in it.
void remove_row(const RegistryRow& row) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, row.key.c_str(), 0, KEY_READ | KEY_WRITE, key.put()) !=
        ERROR_SUCCESS) {
        return;
    }
    if (row.has_value) RegDeleteValueW(key.get(), row.name.empty() ? nullptr : row.name.c_str());
    bool empty = key_is_empty(key.get());
    key.reset();
    if (empty) RegDeleteKeyW(HKEY_CLASSES_ROOT, row.key.c_str());
}

HRESULT write_row(const RegistryRow& row) {
    UniqueHkey key;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, row.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    if (!row.has_value) return S_OK;
    rc = RegSetValueExW(key.get(), row.name.empty() ? nullptr : row.name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(row.value.c_str()),
                        static_cast<DWORD>((row.value.size() + 1) * sizeof(wchar_t)));
    return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

// Shared rows are the keys that both bitnesses use on 64-bit Windows (the type library and
// the ProgIDs): they stay while the other bitness is registered.
void unregister_rows(const std::vector<RegistryRow>& rows) {
    bool other_remains = key_exists(typelib_key() + L"\\1.0\\0\\" + kOtherPlatform);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->shared && other_remains) continue;
        remove_row(*row);
    }
}

}  // namespace

namespace {

// Where a row's key begins, and what its value is beyond a fixed text.
enum class Root : std::uint8_t { Clsid, ProgId, VersionedProgId, TypeLib, Interface };
enum class Data : std::uint8_t { KeyOnly, Text, ModulePath, Libid, ClsidText, Folder };

struct RowRule {
    Root root;
    const wchar_t* path;  // under the root
    const wchar_t* name;  // the value's name; empty for the default value
    Data data;
    const wchar_t* text;  // the value for Data::Text
    bool shared;
};

constexpr RowRule kRows[] = {
    {Root::Clsid, L"", L"", Data::Text, L"zelcalc", false},
    {Root::Clsid, L"\\InprocServer32", L"", Data::ModulePath, nullptr, false},
    {Root::Clsid, L"\\InprocServer32", L"ThreadingModel", Data::Text, L"Apartment", false},
    {Root::Clsid, L"\\ProgID", L"", Data::Text, kVersionedProgId, false},
    {Root::Clsid, L"\\VersionIndependentProgID", L"", Data::Text, kProgId, false},
    {Root::Clsid, L"\\TypeLib", L"", Data::Libid, nullptr, false},
    {Root::Clsid, L"\\Version", L"", Data::Text, L"1.0", false},
    {Root::Clsid, L"\\Programmable", L"", Data::KeyOnly, nullptr, false},
    {Root::ProgId, L"", L"", Data::Text, L"zelcalc", true},
    {Root::ProgId, L"\\CLSID", L"", Data::ClsidText, nullptr, true},
    {Root::ProgId, L"\\CurVer", L"", Data::Text, kVersionedProgId, true},
    {Root::VersionedProgId, L"", L"", Data::Text, L"zelcalc", true},
    {Root::VersionedProgId, L"\\CLSID", L"", Data::ClsidText, nullptr, true},
    {Root::TypeLib, L"", L"", Data::KeyOnly, nullptr, true},
    {Root::TypeLib, L"\\1.0", L"", Data::Text, L"z5calcD", true},
    {Root::TypeLib, L"\\1.0\\FLAGS", L"", Data::Text, L"0", true},
    {Root::TypeLib, L"\\1.0\\HELPDIR", L"", Data::Folder, nullptr, true},
    {Root::TypeLib, L"\\1.0\\0", L"", Data::KeyOnly, nullptr, true},
    {Root::TypeLib, kPlatformKey, L"", Data::ModulePath, nullptr, false},
};

// Each interface is marshalled by the type library's marshaller; its default value is its name.
constexpr RowRule kInterfaceRows[] = {
    {Root::Interface, L"", L"", Data::Text, nullptr, false},
    {Root::Interface, L"\\ProxyStubClsid", L"", Data::Text, kTypeLibMarshaler, false},
    {Root::Interface, L"\\ProxyStubClsid32", L"", Data::Text, kTypeLibMarshaler, false},
    {Root::Interface, L"\\TypeLib", L"", Data::Libid, nullptr, false},
    {Root::Interface, L"\\TypeLib", L"Version", Data::Text, L"1.0", false},
};

}  // namespace

std::vector<RegistryRow> registration_rows(const std::wstring& module_path) {
    std::wstring folder = module_path.substr(0, module_path.rfind(L'\\') + 1);
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    const std::wstring clsid = guid_text(CLSID_zelcalc), libid = guid_text(LIBID_z5calcD);
    std::wstring roots[] = {L"CLSID\\" + clsid, kProgId, kVersionedProgId, typelib_key(), L""};
    std::vector<RegistryRow> rows;
    auto add = [&](const RowRule& rule, const wchar_t* interfaceName) {
        const std::wstring* data[] = {nullptr, nullptr, &module_path, &libid, &clsid, &folder};
        const auto kind = static_cast<std::size_t>(rule.data);
        rows.push_back({roots[static_cast<std::size_t>(rule.root)] + rule.path,
                        rule.data != Data::KeyOnly, rule.name,
                        data[kind]      ? *data[kind]
                        : rule.text     ? rule.text
                        : interfaceName ? interfaceName
                                        : L"",
                        rule.shared});
    };
    for (const RowRule& rule : kRows) add(rule, nullptr);
    for (auto [iid, name] : {std::pair{&IID__zelcalc, L"_zelcalc"},
                             {&IID__zelcalc2, L"_zelcalc2"},
                             {&IID__zelcalc3, L"_zelcalc3"}}) {
        roots[static_cast<std::size_t>(Root::Interface)] = L"Interface\\" + guid_text(*iid);
        for (const RowRule& rule : kInterfaceRows) add(rule, name);
    }
    return rows;
}

HRESULT register_server() noexcept {
    try {
        std::wstring path = module_file_name(WindowBase::code_module());
        if (path.empty()) return SELFREG_E_CLASS;
        auto rows = registration_rows(path);
        for (const RegistryRow& row : rows) {
            if (FAILED(write_row(row))) {
                unregister_rows(rows);  // leave nothing half-registered
                return SELFREG_E_CLASS;
            }
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT unregister_server() noexcept {
    try {
        unregister_rows(registration_rows(module_file_name(WindowBase::code_module())));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace z5calc
