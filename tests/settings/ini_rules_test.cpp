#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "ini_rules.h"

namespace z5calc {
namespace {

struct ValueCase {
    const wchar_t* text;
    std::optional<std::int32_t> value;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    for (const wchar_t* p = c.text; *p; ++p) *os << static_cast<char>(*p < 128 ? *p : '?');
}

class IniValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(IniValue, ReadsTextAsNumberOrBoolean) {
    EXPECT_EQ(ini_value_from_text(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniValue,
    ::testing::Values(
        ValueCase{L"True", -1}, ValueCase{L"False", 0}, ValueCase{L"", -1}, ValueCase{L"true", 0},
        ValueCase{L"TRUE", 0}, ValueCase{L"false", 0}, ValueCase{L"80", 80}, ValueCase{L"0", 0},
        ValueCase{L"-5", -5}, ValueCase{L"+7", 7}, ValueCase{L"7.5", 8}, ValueCase{L"6.5", 6},
        ValueCase{L"-2.5", -2}, ValueCase{L"0.5", 0}, ValueCase{L"1.5", 2}, ValueCase{L"2abc", 2},
        ValueCase{L"  42  ", 42}, ValueCase{L"\t3", 3}, ValueCase{L"abc", 0}, ValueCase{L"-", 0},
        ValueCase{L".", 0}, ValueCase{L".6", 1}, ValueCase{L"5.", 5}, ValueCase{L"1e3", 1000},
        ValueCase{L"1E+3x", 1000}, ValueCase{L"25e-1", 2}, ValueCase{L"1e", 1},
        ValueCase{L"1e+", 1}, ValueCase{L"3,5", 3}, ValueCase{L" True", 0},
        ValueCase{L"2147483647", 2147483647}, ValueCase{L"-2147483648", -2147483648},
        ValueCase{L"2147483647.4", 2147483647}, ValueCase{L"2147483648", std::nullopt},
        ValueCase{L"-2147483649", std::nullopt}, ValueCase{L"99999999999", std::nullopt},
        ValueCase{L"1e999", std::nullopt}, ValueCase{L"-1e999", std::nullopt},
        ValueCase{L"1e-999", 0}, ValueCase{L"税80", 0}));

TEST(IniValue, OnlyTheFirst254CharactersAreSeen) {
    std::wstring long_number(253, L'0');
    long_number += L"12";  // 255 characters: the final "2" is beyond the buffer
    EXPECT_EQ(ini_value_from_text(long_number), 1);
    std::wstring digits(300, L'9');
    EXPECT_EQ(ini_value_from_text(digits), std::nullopt);
}

TEST(IniValue, Int16Range) {
    EXPECT_EQ(to_int16(32767), 32767);
    EXPECT_EQ(to_int16(-32768), -32768);
    EXPECT_EQ(to_int16(32768), std::nullopt);
    EXPECT_EQ(to_int16(-32769), std::nullopt);
}

TEST(IniNumberText, ShortestText) {
    EXPECT_EQ(ini_number_text(0.05 * 1000), L"50");
    EXPECT_EQ(ini_number_text(0.08 * 1000), L"80");
    EXPECT_EQ(ini_number_text(8.0 / 1000 * 1000), L"8");
    EXPECT_EQ(ini_number_text(0), L"0");
    EXPECT_EQ(ini_number_text(-3), L"-3");
    EXPECT_EQ(ini_number_text(1234.5f), L"1234.5");
    EXPECT_EQ(ini_number_text(1e20), L"1E+20");
    EXPECT_EQ(ini_value_from_text(ini_number_text(1e20)), std::nullopt);
    EXPECT_EQ(ini_value_from_text(ini_number_text(2e9)), 2000000000);
}

TEST(Paths, HostIniFile) {
    EXPECT_EQ(host_ini_path(L"C:\\u\\qorvan\\", L"myapp"), L"C:\\u\\qorvan\\myapp.ini");
    EXPECT_EQ(host_ini_path(L"C:\\u\\qorvan\\", L"D:\\apps\\my.ini"), L"D:\\apps\\my.ini");
    EXPECT_EQ(host_ini_path(L"C:\\q\\", L"a.ini.bak"), L"a.ini.bak");
    EXPECT_EQ(host_ini_path(L"C:\\q\\", L"MY.INI"), L"C:\\q\\MY.INI.ini");  // case-sensitive
    EXPECT_EQ(host_ini_path(L"C:\\q\\", L""), L"C:\\q\\.ini");
    EXPECT_EQ(host_ini_path(L"", L"app"), L"app.ini");
}

TEST(Paths, FolderOfAndBackslash) {
    EXPECT_EQ(folder_of(L"C:\\help\\my.chm"), L"C:\\help\\");
    EXPECT_EQ(folder_of(L"\\\\srv\\share\\h.chm"), L"\\\\srv\\share\\");
    EXPECT_EQ(folder_of(L"my.chm"), L"");
    EXPECT_EQ(folder_of(L"C:/help/my.chm"), L"");
    EXPECT_EQ(folder_of(L"\\"), L"\\");
    EXPECT_EQ(with_backslash(L"C:\\x"), L"C:\\x\\");
    EXPECT_EQ(with_backslash(L"C:\\x\\"), L"C:\\x\\");
    EXPECT_EQ(with_backslash(L""), L"\\");
}

TEST(Paths, SettingsFolderByDriveKind) {
    EXPECT_EQ(settings_folder(L"E:\\tools\\z5\\", kDriveRemovable, L"C:\\Users\\u\\AppData"),
              L"E:\\qorvan\\");
    EXPECT_EQ(settings_folder(L"C:\\tools\\", 3, L"C:\\Users\\u\\AppData"),
              L"C:\\Users\\u\\AppData\\qorvan\\");
    EXPECT_EQ(settings_folder(L"\\\\srv\\z5\\", kDriveRemote, L"C:\\A\\"), L"C:\\A\\qorvan\\");
    EXPECT_EQ(settings_folder(L"C:\\tools\\", 3, L""), L"\\qorvan\\");
    EXPECT_EQ(drive_root_of(L"E:\\tools\\z5\\"), L"E:\\");
    EXPECT_EQ(drive_root_of(L"\\\\srv\\share\\"), L"");
}

TEST(Paths, NamesWithControlCharacters) {
    struct Case {
        std::wstring name;
        bool refused;
    };
    for (const Case& c :
         {Case{L"", false}, Case{L"C:\\apps\\host.ini", false}, Case{L"ホスト 1", false},
          Case{L"a\r\nb", true}, Case{L"a\nb", true}, Case{std::wstring(L"a\0b", 3), true},
          Case{L"\tx", true}, Case{L"x\x1F", true}, Case{L"x\x7F", false}}) {
        EXPECT_EQ(has_control_character(c.name), c.refused) << c.name.size();
    }
}

TEST(Messages, FolderFailureText) {
    EXPECT_EQ(folder_failure_message(L"X:\\qorvan\\"),
              L"設定ファイルの保存フォルダ(X:\\qorvan\\)が作れませんでした。\r\n"
              L"動作環境を確認して下さい");
}

}  // namespace
}  // namespace z5calc
