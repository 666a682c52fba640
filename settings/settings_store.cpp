#include "settings_store.h"

#include <shlobj.h>

#include <stdexcept>
#include <vector>

#include "screen_rules.h"
#include "wide_decimal.h"
#include "window_dpi.h"

namespace z5calc {

namespace {

// Marks this module for GetModuleHandleEx: the settings live beside whatever module holds this
// code (the component DLL, or a test program that links the store directly).
void module_marker() {}

std::wstring module_path() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&module_marker), &module)) {
        return {};
    }
    return module_file_name(module);
}

}  // namespace

std::wstring module_file_name(HMODULE module) {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);  // a long path was cut: try a larger buffer
    }
}

std::wstring SettingsPlatform::module_folder() {
    std::wstring path = module_path();
    return std::wstring(folder_of(path));
}

int SettingsPlatform::drive_type(const std::wstring& root) {
    return static_cast<int>(GetDriveTypeW(root.c_str()));
}

std::wstring SettingsPlatform::special_folder(int csidl) {
    wchar_t buf[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, buf, csidl, FALSE)) return {};
    return buf;  // up to the first NUL
}

bool SettingsPlatform::directory_exists(const std::wstring& folder) {
    DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SettingsPlatform::create_directories(const std::wstring& folder) {
    // Every prefix that ends in "\" is a directory to make, parents first. A drive root or a
    // share name fails to be created and is simply passed over; the final test decides.
    for (std::size_t at = folder.find(L'\\'); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1)) {
        if (at == 0 || folder[at - 1] == L':' || folder[at - 1] == L'\\') continue;
        CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    }
    return directory_exists(folder);
}

void SettingsPlatform::show_error(const std::wstring& text, const std::wstring& caption) {
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

int SettingsPlatform::twips_per_pixel_x() {
    return whole_twips(screen_dpi().x);
}
int SettingsPlatform::twips_per_pixel_y() {
    return whole_twips(screen_dpi().y);
}

Win32SettingsPlatform& win32_settings_platform() {
    static Win32SettingsPlatform platform;
    return platform;
}

bool fits_file_functions(const std::wstring& path, std::size_t reserve) {
    if (path.size() + reserve >= MAX_PATH) return false;
    std::size_t full = 0;
    if (path.find_first_of(L"\\/:") == std::wstring::npos) {
        wchar_t windows[MAX_PATH] = {};
        full = GetWindowsDirectoryW(windows, MAX_PATH) + 1 + path.size();
    } else {
        // The length with its terminating NUL, or 0 when the system cannot make one.
        const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
        if (needed == 0) return path.empty();
        full = needed - 1;
    }
    return full + reserve < MAX_PATH;
}

void SettingsStore::InitSettings() {
    twipsX = platform_.twips_per_pixel_x();
    twipsY = platform_.twips_per_pixel_y();
    if (twipsX == 0) twipsX = 15;  // the start-up is marked by a non-zero twipsX
    if (twipsY == 0) twipsY = 15;

    std::wstring module_folder = platform_.module_folder();
    appFolder = with_backslash(module_folder);
    int drive_kind = GetDriveKind(module_folder);
    setupFolder = settings_folder(
        module_folder, drive_kind,
        drive_kind == kDriveRemovable ? std::wstring() : GetSpecialFolder(CSIDL_APPDATA, true));

    if (!platform_.directory_exists(setupFolder) && !platform_.create_directories(setupFolder)) {
        platform_.show_error(folder_failure_message(setupFolder), L"z5calc");
        return;
    }

    iniFile = setupFolder + L"z5calc.ini";
    helpFile = appFolder + L"z5calc.chm";
    std::wstring named_help = GetIniString(ini_keys::kHelpFile);
    if (!named_help.empty()) helpFile = named_help;
    // One bad value in the component's own file must not break it for good: out of range
    // reads as missing.
    helpID =
        ini_value_from_text(GetIniString(ini_keys::kHelpID)).value_or(ini_keys::kHelpID.fallback);
    ReadTaxSettings();
}

void SettingsStore::ReadTaxSettings(Reading reading) {
    // A negative value (a missing key reads -1) gives the key's fallback; so does a number
    // beyond its size, unless the reading is strict, and a rate above 1000 (100 %), which no
    // tax has and which the rate's mark could not show.
    auto number = [&](const IniKey& k) -> std::int32_t {
        if (reading == Reading::Strict) return GetIniValue(k);
        return ini_value_from_text(GetIniString(k)).value_or(-1);
    };
    auto rate = [&](const IniKey& k) {
        const double value = number(k) / 1000.0;
        return value < 0 || value > 1 ? k.fallback / 1000.0 : value;
    };
    taxRate = rate(ini_keys::kTax);
    reducedTaxRate = rate(ini_keys::kReducedTax);
    if (reading == Reading::Strict) {
        taxMode = GetIniInt16(ini_keys::kTaxMode);
    } else {
        taxMode = to_int16(number(ini_keys::kTaxMode)).value_or(ini_keys::kTaxMode.fallback);
    }
    if (taxMode < 0) taxMode = static_cast<std::int16_t>(ini_keys::kTaxMode.fallback);
    auto within = [&](const IniKey& k, std::int32_t low, std::int32_t high) {
        const std::optional<std::int32_t> v = ini_value_from_text(GetIniString(k));
        return v && *v >= low && *v <= high ? *v : k.fallback;
    };
    decimals = within(ini_keys::kDecimals, -1, 4);
    rounding = within(ini_keys::kRounding, 0, 2);
}

std::wstring SettingsStore::GetIniString(std::wstring_view section, std::wstring_view key) const {
    // Without a settings file nothing is read: an empty path would mean win.ini to the system.
    if (iniFile.empty()) return {};
    wchar_t buf[kIniValueLimit + 1] = {};
    std::wstring s(section), k(key);
    DWORD n = GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", buf, kIniValueLimit + 1,
                                       iniFile.c_str());
    return std::wstring(buf, n);
}

namespace {

DescribedOverflow settings_overflow(std::wstring_view section, std::wstring_view key,
                                    const std::wstring& text, const std::wstring& file,
                                    const wchar_t* limit) {
    std::wstring message = L"Overflow: ";
    message.append(key).append(L"=").append(text).append(L" in [").append(section);
    return DescribedOverflow(
        message.append(L"] of ").append(file).append(L" is beyond ").append(limit));
}

}  // namespace

std::int32_t SettingsStore::GetIniValue(std::wstring_view section, std::wstring_view key) const {
    const std::wstring text = GetIniString(section, key);
    auto value = ini_value_from_text(text);
    if (!value) throw settings_overflow(section, key, text, iniFile, L"a 32-bit whole number");
    return *value;
}

std::int16_t SettingsStore::GetIniInt16(const IniKey& k) const {
    const std::int32_t value = GetIniValue(k);
    auto narrow = to_int16(value);
    if (!narrow) {
        throw settings_overflow(k.section, k.key, wide_decimal(value), iniFile,
                                L"a 16-bit whole number");
    }
    return *narrow;
}

void SettingsStore::PutIniValue(std::wstring_view section, std::wstring_view key,
                                std::wstring_view text) const {
    if (iniFile.empty()) return;
    std::wstring s(section), k(key), v(text);
    WritePrivateProfileStringW(s.c_str(), k.c_str(), v.c_str(), iniFile.c_str());
}

void SettingsStore::PutIniValue(std::wstring_view section, std::wstring_view key,
                                double value) const {
    PutIniValue(section, key, ini_number_text(value));
}

std::wstring SettingsStore::GetSpecialFolder(int folderId, bool withBackslash) const {
    std::wstring folder = platform_.special_folder(folderId);
    return withBackslash ? with_backslash(folder) : folder;
}

int SettingsStore::GetDriveKind(std::wstring_view path) const {
    std::wstring root = drive_root_of(path);
    if (root.empty()) return kDriveRemote;
    return platform_.drive_type(root);
}

}  // namespace z5calc
