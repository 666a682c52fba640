#include "registration.h"

#include <objbase.h>
#include <olectl.h>

#include "handles.h"
#include "settings_store.h"
#include "window_base.h"
#include "z5calcD_h.h"

namespace z5calc {

namespace {

#ifdef _WIN64
constexpr const wchar_t* kPlatform = L"win64";
constexpr const wchar_t* kOtherPlatform = L"win32";
#else
constexpr const wchar_t* kPlatform = L"win32";
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

std::vector<RegistryRow> registration_rows(const std::wstring& module_path) {
    const std::wstring clsid = L"CLSID\\" + guid_text(CLSID_zelcalc);
    const std::wstring libid = guid_text(LIBID_z5calcD);
    const std::wstring typelib = typelib_key();
    std::wstring folder = module_path.substr(0, module_path.rfind(L'\\') + 1);
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();

    auto value = [](std::wstring key, std::wstring name, std::wstring data, bool shared = false) {
        return RegistryRow{std::move(key), true, std::move(name), std::move(data), shared};
    };
    auto key_only = [](std::wstring key, bool shared = false) {
        return RegistryRow{std::move(key), false, {}, {}, shared};
    };
    std::vector<RegistryRow> rows = {
        value(clsid, L"", L"zelcalc"),
        value(clsid + L"\\InprocServer32", L"", module_path),
        value(clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
        value(clsid + L"\\ProgID", L"", kVersionedProgId),
        value(clsid + L"\\VersionIndependentProgID", L"", kProgId),
        value(clsid + L"\\TypeLib", L"", libid),
        value(clsid + L"\\Version", L"", L"1.0"),
        key_only(clsid + L"\\Programmable"),
        value(kProgId, L"", L"zelcalc", true),
        value(std::wstring(kProgId) + L"\\CLSID", L"", guid_text(CLSID_zelcalc), true),
        value(std::wstring(kProgId) + L"\\CurVer", L"", kVersionedProgId, true),
        value(kVersionedProgId, L"", L"zelcalc", true),
        value(std::wstring(kVersionedProgId) + L"\\CLSID", L"", guid_text(CLSID_zelcalc), true),
        key_only(typelib, true),
        value(typelib + L"\\1.0", L"", L"z5calcD", true),
        value(typelib + L"\\1.0\\FLAGS", L"", L"0", true),
        value(typelib + L"\\1.0\\HELPDIR", L"", folder, true),
        key_only(typelib + L"\\1.0\\0", true),
        value(typelib + L"\\1.0\\0\\" + kPlatform, L"", module_path),
    };
    // Each interface is marshalled by the type library's marshaller.
    for (auto [iid, name] :
         {std::pair{&IID__zelcalc, L"_zelcalc"}, {&IID__zelcalc2, L"_zelcalc2"}}) {
        const std::wstring iface = L"Interface\\" + guid_text(*iid);
        rows.push_back(value(iface, L"", name));
        rows.push_back(value(iface + L"\\ProxyStubClsid", L"", kTypeLibMarshaler));
        rows.push_back(value(iface + L"\\ProxyStubClsid32", L"", kTypeLibMarshaler));
        rows.push_back(value(iface + L"\\TypeLib", L"", libid));
        rows.push_back(value(iface + L"\\TypeLib", L"Version", L"1.0"));
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
