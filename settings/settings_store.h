#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "described_overflow.h"
#include "ini_rules.h"

namespace z5calc {

// What the start-up asks of the system. Tests replace parts of it (a removable drive, a folder
// that cannot be made, the message box) without touching the real machine.
class SettingsPlatform {
  public:
    virtual std::wstring module_folder();
    virtual int drive_type(const std::wstring& root);
    virtual std::wstring special_folder(int csidl);
    virtual bool directory_exists(const std::wstring& folder);
    virtual bool create_directories(const std::wstring& folder);  // folder ends in "\"
    virtual void show_error(const std::wstring& text, const std::wstring& caption);
    virtual int twips_per_pixel_x();
    virtual int twips_per_pixel_y();

  protected:
    ~SettingsPlatform() = default;
};

// The system itself.
class Win32SettingsPlatform final : public SettingsPlatform {};
Win32SettingsPlatform& win32_settings_platform();

// The settings of one loaded component: the one-time start-up, the key functions on the file
// named by iniFile, and the values they feed. Reads never fail (defaults apply) except for a
// number beyond 32 or 16 bits, which GetIniValue throws as a DescribedOverflow naming the
// file, the key and the value; the start-up
// and ReadTaxSettings read such a number as the key's default. Failed writes are ignored.
class SettingsStore {
  public:
    explicit SettingsStore(SettingsPlatform& platform = win32_settings_platform())
        : platform_(platform) {}

    bool started() const { return twipsX != 0; }

    void InitSettings();
    // Strict for a host's file named by SetAppName: a number beyond its size is an overflow.
    enum class Reading { Lenient, Strict };
    void ReadTaxSettings(Reading reading = Reading::Lenient);

    std::int32_t GetIniValue(std::wstring_view section, std::wstring_view key) const;
    std::wstring GetIniString(std::wstring_view section, std::wstring_view key) const;
    void PutIniValue(std::wstring_view section, std::wstring_view key,
                     std::wstring_view text) const;
    void PutIniValue(std::wstring_view section, std::wstring_view key, double value) const;
    std::int32_t GetIniValue(const IniKey& k) const { return GetIniValue(k.section, k.key); }
    void PutIniValue(const IniKey& k, double value) const { PutIniValue(k.section, k.key, value); }
    // The key's value as a 16-bit number; a DescribedOverflow beyond it.
    std::int16_t GetIniInt16(const IniKey& k) const;
    std::wstring GetIniString(const IniKey& k) const { return GetIniString(k.section, k.key); }

    std::wstring GetSpecialFolder(int folderId, bool withBackslash) const;
    int GetDriveKind(std::wstring_view path) const;

    std::int32_t twipsX = 0;
    std::int32_t twipsY = 0;
    std::wstring appFolder;
    std::wstring setupFolder;
    std::wstring iniFile;
    std::int32_t helpID = 0;
    double taxRate = 0;
    double reducedTaxRate = 0.08;  // read by the same rules as taxRate; the file keeps it
    std::int16_t taxMode = 0;
    std::int32_t decimals =
        -1;  // read with the tax settings: a value out of range reads as missing
    std::int32_t rounding = 2;
    std::wstring helpFile;

  private:
    SettingsPlatform& platform_;
};

// The full path of a loaded module's file; empty if the system cannot say.
std::wstring module_file_name(HMODULE module);

// True when the system's file functions can take the path: its full path, as they make it,
// and `reserve` more characters fit their MAX_PATH buffers. A bare name is completed with the
// Windows folder, as the settings functions do; anything else with the current folder.
bool fits_file_functions(const std::wstring& path, std::size_t reserve = 0);

// What the help viewer adds to a help file's path ("mk:@MSITStore:" before, "::/" after) in
// a MAX_PATH buffer of its own; past it the viewer crashes.
inline constexpr std::size_t kHelpViewerReserve = 18;

}  // namespace z5calc
