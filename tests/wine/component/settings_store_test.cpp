#include <shlobj.h>

#include <stdexcept>
#include <vector>

#include "component_state.h"
#include "error_info.h"
#include "settings_store.h"
#include "test_files.h"

namespace z5calc {
namespace {

// The system, except where a test says otherwise.
class FakePlatform final : public SettingsPlatform {
  public:
    std::wstring module_folder() override { return moduleFolder; }
    int drive_type(const std::wstring& root) override {
        askedRoots.push_back(root);
        return driveType;
    }
    std::wstring special_folder(int csidl) override {
        askedFolders.push_back(csidl);
        return appData;
    }
    void show_error(const std::wstring& text, const std::wstring& caption) override {
        messages.push_back(text);
        captions.push_back(caption);
    }

    std::wstring moduleFolder;
    std::wstring appData;
    int driveType = DRIVE_FIXED;
    std::vector<std::wstring> askedRoots;
    std::vector<int> askedFolders;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> captions;
};

class SettingsStart : public ::testing::Test {
  protected:
    SettingsStart() : temp(L"settings") {
        platform.moduleFolder = temp.path() + L"module\\";
        CreateDirectoryW(platform.moduleFolder.c_str(), nullptr);
        platform.appData = temp.path() + L"appdata";
    }
    std::wstring setup() const { return platform.appData + L"\\qorvan\\"; }

    TempFolder temp;
    FakePlatform platform;
};

TEST_F(SettingsStart, ExistingFolderIsUsedAndItsSettingsRead) {
    CreateDirectoryW(platform.appData.c_str(), nullptr);
    CreateDirectoryW(setup().c_str(), nullptr);
    write_bytes(setup() + L"z5calc.ini",
                "[Setup]\r\nTax=80\r\nTaxMode=1\r\nHelpFile=D:\\h\\mine.chm\r\nHelpID=7\r\n");
    SettingsStore s(platform);
    s.InitSettings();
    EXPECT_TRUE(s.started());
    EXPECT_GT(s.twipsX, 0);
    EXPECT_GT(s.twipsY, 0);
    EXPECT_EQ(s.appFolder, platform.moduleFolder);
    EXPECT_EQ(s.setupFolder, setup());
    EXPECT_EQ(s.iniFile, setup() + L"z5calc.ini");
    EXPECT_EQ(s.taxRate, 0.08);
    EXPECT_EQ(s.taxMode, 1);
    EXPECT_EQ(s.helpFile, L"D:\\h\\mine.chm");
    EXPECT_EQ(s.helpID, 7);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.askedFolders, std::vector<int>{CSIDL_APPDATA});
}

TEST_F(SettingsStart, MissingFolderIsCreatedWithItsParentsAndDefaultsApply) {
    platform.appData = temp.path() + L"a\\b\\c";
    SettingsStore s(platform);
    s.InitSettings();
    EXPECT_EQ(s.setupFolder, temp.path() + L"a\\b\\c\\qorvan\\");
    EXPECT_TRUE(platform.directory_exists(s.setupFolder));
    EXPECT_EQ(s.taxRate, 0.1);
    EXPECT_EQ(s.taxMode, 0);
    EXPECT_EQ(s.helpID, -1);
    EXPECT_EQ(s.helpFile, platform.moduleFolder + L"z5calc.chm");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SettingsStart, FolderThatCannotBeMadeIsReportedOnceAndEverythingGoesOn) {
    // A file stands where a parent folder would have to be.
    write_bytes(temp.path() + L"blocker", "x");
    platform.appData = temp.path() + L"blocker\\inside";
    ComponentState state{platform};
    SetAppName(state, L"host");
    SettingsStore& s = state.settings;
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0],
              folder_failure_message(temp.path() + L"blocker\\inside\\qorvan\\"));
    EXPECT_EQ(platform.captions[0], L"z5calc");
    EXPECT_TRUE(s.started());
    EXPECT_EQ(s.taxRate, 0.1);  // the host's file cannot be read either
    EXPECT_EQ(s.taxMode, 0);
    EXPECT_EQ(state.msgMode, 0);
    // The start-up is not repeated: no second message.
    SetAppName(state, L"host");
    SetHelpFile(state, L"C:\\x\\h.chm", 3);
    s.ReadTaxSettings();
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(s.taxRate, 0.1);
    EXPECT_EQ(state.helpFolder, L"C:\\x\\");
}

TEST_F(SettingsStart, EmptySettingsPathReadsDefaultsAndWritesNothing) {
    SettingsStore s(platform);  // no start-up: iniFile is empty
    EXPECT_EQ(s.GetIniValue(L"Setup", L"Tax"), -1);
    EXPECT_EQ(s.GetIniString(L"Setup", L"HelpFile"), L"");
    s.PutIniValue(L"Setup", L"Tax", L"50");
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(GetPrivateProfileIntW(L"Setup", L"Tax", 12345,
                                    (std::wstring(windows) + L"\\win.ini").c_str()),
              12345u);
}

TEST_F(SettingsStart, RemovableDriveKeepsSettingsAtItsRoot) {
    platform.driveType = DRIVE_REMOVABLE;
    SettingsStore s(platform);
    s.InitSettings();
    std::wstring expected = platform.moduleFolder.substr(0, 1) + L":\\qorvan\\";
    EXPECT_EQ(s.setupFolder, expected);
    EXPECT_EQ(platform.askedRoots,
              std::vector<std::wstring>{platform.moduleFolder.substr(0, 1) + L":\\"});
    EXPECT_TRUE(platform.askedFolders.empty());
    EXPECT_TRUE(platform.directory_exists(expected));
    TempFolder::remove_tree(expected);
}

TEST_F(SettingsStart, NetworkComponentIsRemoteAndUsesTheUserFolder) {
    platform.moduleFolder = L"\\\\server\\share\\z5\\";
    platform.driveType = DRIVE_REMOVABLE;  // never asked for a network path
    SettingsStore s(platform);
    s.InitSettings();
    EXPECT_TRUE(platform.askedRoots.empty());
    EXPECT_EQ(s.GetDriveKind(L"\\\\server\\share\\"), kDriveRemote);
    EXPECT_EQ(s.setupFolder, setup());
}

TEST_F(SettingsStart, RealDriveTypeOfTheSystemDrive) {
    SettingsStore s;
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(s.GetDriveKind(windows), DRIVE_FIXED);
    EXPECT_FALSE(s.GetSpecialFolder(CSIDL_APPDATA, true).empty());
    EXPECT_EQ(s.GetSpecialFolder(CSIDL_APPDATA, true).back(), L'\\');
}

class IniKeys : public SettingsStart {
  protected:
    IniKeys() {
        store.InitSettings();
        file = store.iniFile;
    }
    SettingsStore store{platform};
    std::wstring file;
};

TEST_F(IniKeys, ValuesByTheReadingRules) {
    std::string long_value(300, 'a');
    write_bytes(file,
                "[Setup]\r\nT=True\r\nF=False\r\nt=true\r\nG=garbage\r\nN=2abc\r\nH=7.5\r\nE=\r\n"
                "Big=4294967296\r\nNeg=-2147483649\r\nLong=" +
                    long_value + "\r\n");
    struct Case {
        const wchar_t* key;
        std::int32_t value;
    };
    for (const Case& c : {Case{L"T", -1}, Case{L"F", 0}, Case{L"G", 0}, Case{L"N", 2},
                          Case{L"H", 8}, Case{L"E", -1}, Case{L"Missing", -1}, Case{L"Long", 0}}) {
        EXPECT_EQ(store.GetIniValue(L"Setup", c.key), c.value) << narrow(c.key);
    }
    // Section and key names follow the platform's rule: without regard to case.
    EXPECT_EQ(store.GetIniValue(L"SETUP", L"t"), -1);
    EXPECT_THROW(store.GetIniValue(L"Setup", L"Big"), std::overflow_error);
    EXPECT_THROW(store.GetIniValue(L"Setup", L"Neg"), std::overflow_error);
    EXPECT_EQ(store.GetIniString(L"Setup", L"Long"), std::wstring(254, L'a'));
    EXPECT_EQ(store.GetIniString(L"Nowhere", L"T"), L"");
}

TEST_F(IniKeys, TaxSettingsFromTheFile) {
    struct Case {
        const char* lines;
        double rate;
        std::int16_t mode;
    };
    for (const Case& c :
         {Case{"Tax=80\r\nTaxMode=2", 0.08, 2}, Case{"Tax=0", 0, 0}, Case{"Tax=-5", 0.1, 0},
          Case{"", 0.1, 0}, Case{"Tax=7.5", 0.008, 0}, Case{"TaxMode=True", 0.1, 0},
          Case{"TaxMode=true", 0.1, 0}, Case{"TaxMode=2x", 0.1, 2}, Case{"TaxMode=-3", 0.1, 0},
          Case{"TaxMode=32767", 0.1, 32767},
          // Out of range reads as the key's default: the component's own settings never fail.
          Case{"TaxMode=32768", 0.1, 0}, Case{"TaxMode=-40000", 0.1, 0},
          Case{"Tax=99999999999\r\nTaxMode=1", 0.1, 1}}) {
        write_bytes(file, std::string("[Setup]\r\n") + c.lines + "\r\n");
        store.ReadTaxSettings();
        EXPECT_EQ(store.taxRate, c.rate) << c.lines;
        EXPECT_EQ(store.taxMode, c.mode) << c.lines;
    }
}

TEST_F(IniKeys, ReducedTaxReadsByTheRulesOfTax) {
    struct Case {
        const char* lines;
        double reduced;
    };
    for (const Case& c : {Case{"", 0.08}, Case{"ReducedTax=100", 0.1}, Case{"ReducedTax=0", 0},
                          Case{"ReducedTax=-5", 0.08}, Case{"ReducedTax=7.5", 0.008},
                          Case{"ReducedTax=99999999999", 0.08}, Case{"Tax=80", 0.08}}) {
        write_bytes(file, std::string("[Setup]\r\n") + c.lines + "\r\n");
        store.ReadTaxSettings();
        EXPECT_EQ(store.reducedTaxRate, c.reduced) << c.lines;
    }
}

TEST_F(IniKeys, DecimalsAndRoundingOutOfRangeReadAsMissing) {
    struct Case {
        const char* lines;
        std::int32_t decimals, rounding;
    };
    for (const Case& c :
         {Case{"", -1, 2}, Case{"Decimals=2\r\nRounding=0", 2, 0},
          Case{"Decimals=4\r\nRounding=1", 4, 1}, Case{"Decimals=5", -1, 2},
          Case{"Decimals=-2\r\nRounding=3", -1, 2}, Case{"Decimals=abc\r\nRounding=-1", 0, 2}}) {
        write_bytes(file, std::string("[Setup]\r\n") + c.lines + "\r\n");
        store.ReadTaxSettings();
        EXPECT_EQ(store.decimals, c.decimals) << c.lines;
        EXPECT_EQ(store.rounding, c.rounding) << c.lines;
    }
}

TEST_F(IniKeys, WritesCreateFileAndSectionAsPlainText) {
    DeleteFileW(file.c_str());
    store.PutIniValue(L"Window", L"frmCalc_Left", 1234.5);
    store.PutIniValue(L"Setup", L"Tax", 0.05 * 1000);
    store.PutIniValue(L"Setup", L"AppPath", L"C:\\apps\\host");
    std::string bytes = read_bytes(file);
    EXPECT_NE(bytes.find("[Window]"), std::string::npos);
    EXPECT_NE(bytes.find("frmCalc_Left=1234.5"), std::string::npos);
    EXPECT_NE(bytes.find("Tax=50"), std::string::npos);
    EXPECT_NE(bytes.find("AppPath=C:\\apps\\host"), std::string::npos);
    // 8-bit text, as the ANSI profile functions of hosts read it: no UTF-16, no byte-order mark.
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(GetPrivateProfileIntA("Setup", "Tax", 0, narrow(file).c_str()), 50u);
}

TEST_F(IniKeys, UnwritableFileLosesWritesQuietly) {
    write_bytes(file, "[Setup]\r\nTax=80\r\n");
    {
        // Another program holds the file without sharing: the write is lost, nothing fails.
        HANDLE held = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        store.PutIniValue(L"Setup", L"Tax", L"10");
        EXPECT_EQ(store.GetIniValue(L"Setup", L"Tax"), -1);  // nor can it be read meanwhile
        CloseHandle(held);
    }
    EXPECT_EQ(read_bytes(file), "[Setup]\r\nTax=80\r\n");  // not half-written
    EXPECT_EQ(store.GetIniValue(L"Setup", L"Tax"), 80);

    // A folder where the file should be: reads give defaults, writes are lost.
    DeleteFileW(file.c_str());
    CreateDirectoryW(file.c_str(), nullptr);
    store.PutIniValue(L"Setup", L"Tax", L"10");
    EXPECT_EQ(store.GetIniValue(L"Setup", L"Tax"), -1);
    RemoveDirectoryW(file.c_str());
}

class AppName : public IniKeys {
  protected:
    ComponentState state{platform};
    std::wstring own() const { return setup() + L"z5calc.ini"; }
};

TEST_F(AppName, PlainNameReadsTheHostFileInTheSettingsFolder) {
    write_bytes(setup() + L"host.ini", "[Setup]\r\nTax=80\r\nTaxMode=1\r\nMsgMode=1\r\n");
    SetAppName(state, L"host");
    EXPECT_EQ(state.settings.taxRate, 0.08);
    EXPECT_EQ(state.settings.taxMode, 1);
    EXPECT_EQ(state.msgMode, 1);
    EXPECT_EQ(state.settings.iniFile, own());
    std::string bytes = read_bytes(own());
    EXPECT_NE(bytes.find("AppPath=host"), std::string::npos);
    EXPECT_NE(bytes.find("Tax=80"), std::string::npos);
    EXPECT_NE(bytes.find("TaxMode=1"), std::string::npos);
    EXPECT_EQ(read_bytes(setup() + L"host.ini").find("AppPath"), std::string::npos);
}

TEST_F(AppName, PathWithIniIsTheHostFile) {
    std::wstring host = temp.path() + L"elsewhere.ini";
    write_bytes(host, "[Setup]\r\nTax=100\r\n");
    SetAppName(state, host);
    EXPECT_EQ(state.settings.taxRate, 0.1);
    EXPECT_NE(read_bytes(own()).find("AppPath=" + narrow(host)), std::string::npos);
}

TEST_F(AppName, DefaultsAndMessageMode) {
    struct Case {
        const char* lines;
        double rate;
        const char* written;
        std::int16_t msgMode;
    };
    for (const Case& c :
         {Case{"", 0.1, "Tax=100", 0}, Case{"Tax=80", 0.08, "Tax=80", 0},
          Case{"Tax=7.5", 0.008, "Tax=8", 0}, Case{"MsgMode=True", 0.1, "Tax=100", 0},
          Case{"MsgMode=False", 0.1, "Tax=100", 0}, Case{"MsgMode=1", 0.1, "Tax=100", 1},
          Case{"MsgMode=-2", 0.1, "Tax=100", -2}, Case{"Tax=junk", 0, "Tax=0", 0}}) {
        write_bytes(setup() + L"h.ini", std::string("[Setup]\r\n") + c.lines + "\r\n");
        SetAppName(state, L"h");
        EXPECT_EQ(state.settings.taxRate, c.rate) << c.lines;
        EXPECT_EQ(state.msgMode, c.msgMode) << c.lines;
        EXPECT_NE(read_bytes(own()).find(c.written), std::string::npos) << c.lines;
    }
}

// Both rates by one rule: the leading number in tenths of a percent; missing, negative or above
// 100 % gives the key's default, so no mark or tape line shows a rate no tax has.
TEST_F(AppName, RatesBeyondAHundredPercentTakeTheirDefaults) {
    struct Case {
        const char* lines;
        double rate, reduced;
    };
    for (const Case& c :
         {Case{"Tax=1001", 0.1, 0.08}, Case{"Tax=1000\r\nReducedTax=50", 1, 0.05},
          Case{"ReducedTax=1001", 0.1, 0.08}, Case{"ReducedTax=999999999", 0.1, 0.08},
          Case{"ReducedTax=-5", 0.1, 0.08}, Case{"ReducedTax=abc", 0.1, 0}}) {
        write_bytes(setup() + L"h.ini", std::string("[Setup]\r\n") + c.lines + "\r\n");
        SetAppName(state, L"h");
        EXPECT_EQ(state.settings.taxRate, c.rate) << c.lines;
        EXPECT_EQ(state.settings.reducedTaxRate, c.reduced) << c.lines;
    }
}

TEST_F(AppName, OverflowFailsButLeavesTheOwnFileCurrent) {
    write_bytes(setup() + L"h.ini", "[Setup]\r\nTax=80\r\nTaxMode=70000\r\n");
    EXPECT_THROW(SetAppName(state, L"h"), std::overflow_error);
    EXPECT_EQ(state.settings.iniFile, own());
    EXPECT_EQ(state.settings.taxRate, 0.08);  // what was read before the failure stays
    write_bytes(setup() + L"h.ini", "[Setup]\r\nMsgMode=99999999999\r\n");
    EXPECT_THROW(SetAppName(state, L"h"), std::overflow_error);
    SetHelpFile(state, L"C:\\h\\x.chm", 1);
    EXPECT_EQ(read_bytes(setup() + L"h.ini").find("HelpFile"), std::string::npos);
    EXPECT_NE(read_bytes(own()).find("HelpFile=C:\\h\\x.chm"), std::string::npos);
}

// A host file that another program holds locked is no missing file: SetAppName fails, names
// the file, and neither takes the defaults nor writes them over the component's own file.
TEST_F(AppName, LockedHostFileFailsAndChangesNothing) {
    const std::wstring host = setup() + L"host.ini";
    write_bytes(host, "[Setup]\r\nTax=80\r\n");
    SetAppName(state, L"host");
    const std::string before = read_bytes(own());
    HANDLE lock = CreateFileW(host.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        SetAppName(state, L"host");
        ADD_FAILURE() << "SetAppName succeeded on a locked file";
    } catch (const ComError& e) {
        EXPECT_EQ(e.hr, HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION));
        EXPECT_NE(e.description.find(host), std::wstring::npos) << narrow(e.description);
    }
    CloseHandle(lock);
    EXPECT_EQ(state.settings.taxRate, 0.08);
    EXPECT_EQ(read_bytes(own()), before);
}

TEST_F(AppName, HelpFileAndFolder) {
    SetAppName(state, L"h");
    SetHelpFile(state, L"D:\\manuals\\app\\help.chm", 10400);
    EXPECT_EQ(state.settings.helpFile, L"D:\\manuals\\app\\help.chm");
    EXPECT_EQ(state.settings.helpID, 10400);
    EXPECT_EQ(state.helpFolder, L"D:\\manuals\\app\\");
    std::string bytes = read_bytes(own());
    EXPECT_NE(bytes.find("HelpFile=D:\\manuals\\app\\help.chm"), std::string::npos);
    EXPECT_NE(bytes.find("HelpID=10400"), std::string::npos);
    SetHelpFile(state, L"plain.chm", -7);
    EXPECT_EQ(state.helpFolder, L"");
    EXPECT_NE(read_bytes(own()).find("HelpID=-7"), std::string::npos);
}

TEST_F(SettingsStart, HelpFileBeforeStartUpStoresNothing) {
    ComponentState state{platform};
    SetHelpFile(state, L"C:\\early\\h.chm", 5);
    EXPECT_EQ(state.helpFolder, L"C:\\early\\");
    EXPECT_FALSE(file_exists(setup() + L"z5calc.ini"));
    EXPECT_FALSE(state.settings.started());
    // The start-up then takes the help file from the settings, or the component's own.
    SetAppName(state, L"h");
    EXPECT_EQ(state.settings.helpFile, platform.moduleFolder + L"z5calc.chm");
}

}  // namespace
}  // namespace z5calc

namespace z5calc {
namespace {

TEST_F(AppName, EmptyNameGivesDefaultsAndNamesThatCannotBeFilesAreRefused) {
    SetAppName(state, L"");  // the file ".ini" in the settings folder, which does not exist
    EXPECT_EQ(state.settings.taxRate, 0.1);
    EXPECT_EQ(state.settings.iniFile, own());
    // Too long for the system's file functions, or holding what a settings line cannot: refused
    // before anything is written.
    for (const std::wstring& name : {std::wstring(5000, L'n'), std::wstring(L"a\r\nTax=1"),
                                     std::wstring(L"x.ini") + std::wstring(300, L'i')}) {
        EXPECT_THROW(SetAppName(state, name), ComError) << narrow(name.substr(0, 20));
        EXPECT_THROW(SetHelpFile(state, name, 1), ComError) << narrow(name.substr(0, 20));
    }
    EXPECT_EQ(state.settings.iniFile, own());
    EXPECT_EQ(state.settings.GetIniString(ini_keys::kAppPath), L"");
    EXPECT_EQ(state.settings.GetIniString(ini_keys::kHelpFile), L"");
    EXPECT_EQ(state.helpFolder, L"");
}

TEST_F(AppName, HostNumberBeyond32BitsFailsTheCall) {
    write_bytes(setup() + L"h.ini", "[Setup]\r\nTax=99999999999\r\n");
    EXPECT_THROW(SetAppName(state, L"h"), std::overflow_error);
    EXPECT_EQ(state.settings.iniFile, own());
    write_bytes(setup() + L"h.ini", "[Setup]\r\nTax=" + std::string(300, '7') + "\r\n");
    EXPECT_THROW(SetAppName(state, L"h"), std::overflow_error);
    write_bytes(setup() + L"h.ini", "[Setup]\r\nTax=False\r\nTaxMode=garbage\r\nMsgMode=" +
                                        std::string(300, 'x') + "\r\n");
    SetAppName(state, L"h");
    EXPECT_EQ(state.settings.taxRate, 0);
    EXPECT_EQ(state.settings.taxMode, 0);
    EXPECT_EQ(state.msgMode, 0);
}

TEST_F(SettingsStart, UserFolderWithJapaneseCharacters) {
    platform.appData = temp.path() + L"ユーザー\\設定";
    ComponentState state{platform};
    SetAppName(state, L"ホスト");
    SettingsStore& s = state.settings;
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(s.setupFolder, platform.appData + L"\\qorvan\\");
    EXPECT_TRUE(file_exists(s.setupFolder + L"z5calc.ini"));
    EXPECT_EQ(s.GetIniValue(ini_keys::kTax), 100);
    // The file stays 8-bit text that the ANSI profile functions read.
    EXPECT_EQ(read_bytes(s.setupFolder + L"z5calc.ini").find('\0'), std::string::npos);
}

}  // namespace
}  // namespace z5calc
