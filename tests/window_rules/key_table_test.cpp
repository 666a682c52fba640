#include "commands.h"
#include "key_table.h"
#include "tax_rate_text.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace z5calc {
namespace {

std::string name_of(const KeyRow& k) {
    std::string s;
    for (const wchar_t* p = k.Name; *p; ++p) s += static_cast<char>(*p);
    return s + "(" + std::to_string(k.Index) + ")";
}

TEST(KeyTable, EachRowIsFoundByItsControlName) {
    for (const KeyRow& k : kKeys) EXPECT_EQ(key_named(k.Name, k.Index), k.id) << name_of(k);
    EXPECT_EQ(key_named(L"imgNumber", 12), std::nullopt);
    EXPECT_EQ(key_named(L"imgDecimal", 0), std::nullopt);
    EXPECT_EQ(key_named(L"Readout", -1), std::nullopt);
}

TEST(KeyTable, LaysTheKeysOutByThePlacementRules) {
    struct Row {
        KeyId id;
        KeyRect rect;
    };
    const Row rows[] = {
        {KeyId::Num7, {10, 103, 31, 30}},     {KeyId::Num9, {72, 103, 31, 30}},
        {KeyId::Num5, {41, 133, 31, 30}},     {KeyId::Num1, {10, 163, 31, 30}},
        {KeyId::Num0, {10, 193, 33, 33}},     {KeyId::Num00, {41, 193, 33, 33}},
        {KeyId::Num000, {72, 193, 33, 33}},   {KeyId::Decimal, {10, 223, 33, 33}},
        {KeyId::Inv, {41, 223, 33, 33}},      {KeyId::Bs, {72, 223, 33, 33}},
        {KeyId::AC, {111, 103, 31, 30}},      {KeyId::CE, {142, 103, 31, 30}},
        {KeyId::Divide, {142, 133, 31, 30}},  {KeyId::Equals, {111, 193, 31, 30}},
        {KeyId::Percent, {111, 223, 25, 25}}, {KeyId::MC, {173, 103, 25, 25}},
        {KeyId::MR, {173, 178, 25, 25}},      {KeyId::TaxIn, {10, 77, 37, 19}},
        {KeyId::TaxAmount, {90, 77, 37, 19}}, {KeyId::Off, {144, 0, 41, 33}},
        {KeyId::Trans, {146, 205, 64, 68}},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(key_spec(r.id).rect, r.rect) << name_of(key_spec(r.id));
    }
    // The transfer key reaches exactly to the client area's bottom-right corner.
    const KeyRect trans = key_spec(KeyId::Trans).rect;
    EXPECT_EQ(trans.left + trans.width, 210);
    EXPECT_EQ(trans.top + trans.height, 273);
}

TEST(KeyTable, KeysOverlapOnlyWhereTheBottomRowsKeepTheirSize) {
    // Every overlap is a sliver of at most three pixels, between keys of the two bottom rows
    // of digits, and the earlier key (the one the hit test finds first) is the wider one there.
    const std::set<KeyId> bottom = {KeyId::Num0,    KeyId::Num00, KeyId::Num000,
                                    KeyId::Decimal, KeyId::Inv,   KeyId::Bs};
    int overlaps = 0;
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        const KeyRect a = kKeys[i].rect;
        EXPECT_GE(a.left, 0);
        EXPECT_GE(a.top, 0);
        EXPECT_LE(a.left + a.width, 210) << name_of(kKeys[i]);
        EXPECT_LE(a.top + a.height, 273) << name_of(kKeys[i]);
        for (std::size_t j = i + 1; j < kKeys.size(); ++j) {
            const KeyRect b = kKeys[j].rect;
            const int w = std::min(a.left + a.width, b.left + b.width) - std::max(a.left, b.left);
            const int h = std::min(a.top + a.height, b.top + b.height) - std::max(a.top, b.top);
            if (w <= 0 || h <= 0) continue;
            ++overlaps;
            SCOPED_TRACE(name_of(kKeys[i]) + " and " + name_of(kKeys[j]));
            EXPECT_TRUE(bottom.count(kKeys[i].id) && bottom.count(kKeys[j].id));
            EXPECT_LE(std::min(w, h), 3);
        }
    }
    EXPECT_GT(overlaps, 0);  // the slivers exist: the table's order decides them
}

TEST(KeyTable, PicturesAreNamedByTheEngineTagsAndAreUnique) {
    std::set<std::wstring> names;
    for (const KeyRow& k : kKeys) {
        const std::wstring picture = k.picture.c_str();
        EXPECT_FALSE(picture.empty()) << name_of(k);
        EXPECT_TRUE(names.insert(picture).second) << name_of(k);
        if (k.role != KeyRole::Calc) continue;
        const std::string_view tag = tag_of(k.engine);
        EXPECT_EQ(picture, std::wstring(tag.begin(), tag.end())) << name_of(k);
    }
    EXPECT_EQ(std::wstring(key_spec(KeyId::Decimal).picture.c_str()), L".");
    EXPECT_EQ(std::wstring(key_spec(KeyId::TaxOut).picture.c_str()), L"taxout");
    EXPECT_EQ(std::wstring(key_spec(KeyId::Off).picture.c_str()), L"OFF");
    EXPECT_EQ(std::wstring(key_spec(KeyId::Trans).picture.c_str()), L"TRON");
    EXPECT_EQ(std::wstring(kTransferAtRest.c_str()), L"TROFF");
    EXPECT_EQ(std::wstring(picture_named("longer than seven").c_str()), L"longer ");
}

TEST(KeyTable, EveryEngineKeyHasExactlyOneWindowKey) {
    int calcKeys = 0;
    for (const KeyRow& k : kKeys) {
        if (k.role != KeyRole::Calc) continue;
        ++calcKeys;
        EXPECT_EQ(key_pressing(k.engine), k.id) << name_of(k);
        EXPECT_EQ(key_from_tag(tag_of(k.engine)), k.engine) << name_of(k);
    }
    const std::size_t engineKeys = kNumberTags.size() + kOperatorTags.size() + kMemTags.size() +
                                   kTaxTags.size() + 3;  // decimal point, INV, BS
    EXPECT_EQ(static_cast<std::size_t>(calcKeys), engineKeys);
    EXPECT_EQ(key_spec(KeyId::Off).role, KeyRole::Off);
    EXPECT_EQ(key_spec(KeyId::Trans).role, KeyRole::Trans);
    EXPECT_EQ(key_spec(KeyId::MPlus).engine, (Key{KeyGroup::Mem, kMemPlus}));
    EXPECT_EQ(key_spec(KeyId::TaxAmount).engine, (Key{KeyGroup::Tax, kTaxAmount}));
}

TEST(KeyTable, TypedCharactersClickTheirKeys) {
    struct Case {
        wchar_t ch;
        std::optional<KeyId> key;
    };
    const Case cases[] = {
        {L'0', KeyId::Num0},    {L'5', KeyId::Num5},   {L'9', KeyId::Num9},
        {L'.', KeyId::Decimal}, {L'+', KeyId::Plus},   {L'-', KeyId::Minus},
        {L'/', KeyId::Divide},  {L'*', KeyId::Times},  {L'x', KeyId::Times},
        {L'X', KeyId::Times},   {L'=', KeyId::Equals}, {L'%', KeyId::Percent},
        {L'C', KeyId::AC},      {L'c', KeyId::AC},     {L'\b', KeyId::Bs},
        {L'\x1b', KeyId::Off},  {L'\r', KeyId::Trans}, {L'\0', std::nullopt},
        {L'a', std::nullopt},   {L'E', std::nullopt},  {L',', std::nullopt},
        {L' ', std::nullopt},   {L'\n', std::nullopt}, {L'\uFF11', std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(key_for_char(c.ch), c.key) << int(c.ch);
    // No character belongs to two keys.
    std::set<wchar_t> seen;
    for (const KeyRow& k : kKeys) {
        for (wchar_t ch : k.chars) EXPECT_TRUE(seen.insert(ch).second) << name_of(k);
    }
}

TEST(KeyTable, ChordsClickTheKeysNoCharacterReaches) {
    struct Case {
        KeyChord chord;
        std::optional<KeyId> key;
    };
    const Case cases[] = {
        {{kVkDelete, false}, KeyId::CE},   {{kVkF9, false}, KeyId::Inv},
        {{'L', true}, KeyId::MC},          {{'P', true}, KeyId::MPlus},
        {{'Q', true}, KeyId::MMinus},      {{'R', true}, KeyId::MR},
        {{'D', true}, KeyId::Num00},       {{'K', true}, KeyId::Num000},
        {{'I', true}, KeyId::TaxIn},       {{'E', true}, KeyId::TaxOut},
        {{'T', true}, KeyId::TaxAmount},   {{'L', false}, std::nullopt},
        {{kVkDelete, true}, std::nullopt}, {{'C', true}, std::nullopt},
        {{'V', true}, std::nullopt},       {{0, false}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(key_for_chord(c.chord), c.key) << c.chord.vk;
    // Every key is reachable from the keyboard: by a character or by a chord, never both twice.
    std::set<std::pair<int, bool>> chords;
    for (const KeyRow& k : kKeys) {
        EXPECT_TRUE(!k.chars.empty() || k.chord.vk != 0) << name_of(k);
        if (k.chord.vk != 0) {
            EXPECT_TRUE(chords.insert({k.chord.vk, k.chord.ctrl}).second) << name_of(k);
        }
    }
}

TEST(KeyTable, EveryKeyHasAUniqueNameAndAShortcut) {
    std::set<std::wstring> names, shortcuts;
    for (const KeyRow& k : kKeys) {
        const std::wstring name(key_name(k.id));
        EXPECT_FALSE(name.empty()) << name_of(k);
        EXPECT_TRUE(names.insert(name).second) << name_of(k);
        const std::wstring shortcut = shortcut_text(k.id);
        EXPECT_FALSE(shortcut.empty()) << name_of(k);
        EXPECT_TRUE(shortcuts.insert(shortcut).second) << name_of(k);
    }
    struct Case {
        KeyId id;
        const wchar_t* name;
        const wchar_t* shortcut;
    };
    for (const Case& c :
         {Case{KeyId::Num7, L"7", L"7"}, Case{KeyId::Decimal, L"\u5C0F\u6570\u70B9", L"."},
          Case{KeyId::Bs, L"\u30D0\u30C3\u30AF\u30B9\u30DA\u30FC\u30B9", L"Backspace"},
          Case{KeyId::CE, L"\u30AF\u30EA\u30A2\u30A8\u30F3\u30C8\u30EA\u30FC", L"Delete"},
          Case{KeyId::Inv, L"\u30D7\u30E9\u30B9\u30DE\u30A4\u30CA\u30B9", L"F9"},
          Case{KeyId::Times, L"\u639B\u3051\u308B", L"X"},
          Case{KeyId::MR, L"\u30E1\u30E2\u30EA\u30FC\u30EA\u30B3\u30FC\u30EB", L"Ctrl+R"},
          Case{KeyId::TaxIn, L"\u7A0E\u8FBC", L"Ctrl+I"},
          Case{KeyId::Off, L"\u9589\u3058\u308B", L"Esc"},
          Case{KeyId::Trans, L"\u8EE2\u8A18", L"Enter"}}) {
        EXPECT_EQ(key_name(c.id), c.name) << static_cast<int>(c.id);
        EXPECT_EQ(shortcut_text(c.id), c.shortcut) << static_cast<int>(c.id);
    }
}

TEST(KeyTable, OnlyDigitsAndBackspaceRepeatOnADoubleClick) {
    for (const KeyRow& k : kKeys) {
        const bool expected = k.engine.group == KeyGroup::Number && k.role == KeyRole::Calc;
        EXPECT_EQ(k.repeatsOnDoubleClick, expected || k.id == KeyId::Bs) << name_of(k);
    }
}

TEST(KeyTable, TagsFindTheirKeys) {
    struct Case {
        std::wstring_view tag;
        std::optional<KeyId> key;
    };
    const Case cases[] = {
        {L"7", KeyId::Num7},  {L"000", KeyId::Num000},   {L".", KeyId::Decimal},
        {L"X", KeyId::Times}, {L"MP", KeyId::MPlus},     {L"taxin", KeyId::TaxIn},
        {L"INV", KeyId::Inv}, {L"OFF", std::nullopt},    {L"", std::nullopt},
        {L"x", std::nullopt}, {L"\u00D7", std::nullopt}, {L"taxin-and-more", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(key_tagged(c.tag), c.key) << std::string(c.tag.begin(), c.tag.end());
    }
}

std::string utf8(std::wstring_view text) {
    std::string s;
    for (const wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            s += static_cast<char>(u);
        } else if (u < 0x800) {
            s += static_cast<char>(0xC0 | (u >> 6));
            s += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | (u >> 12));
            s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return s;
}

// The cells of a Markdown table row, trimmed.
std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::size_t at = row.find('|');
    while (at != std::string::npos) {
        const std::size_t next = row.find('|', at + 1);
        if (next == std::string::npos) break;
        std::string cell = row.substr(at + 1, next - at - 1);
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        out.push_back(cell);
        at = next;
    }
    return out;
}

// The README's keyboard table is the key table as users read it: one row per key, in order,
// with the name a screen reader reads and a cell that holds the key's shortcut, then the rate
// switch.
TEST(KeyTable, TheReadmeListsEveryKeyWithItsNameAndShortcut) {
    std::ifstream readme(Z5_README);
    ASSERT_TRUE(readme) << Z5_README;
    std::string line;
    while (std::getline(readme, line) && line != "| Key | Name read aloud | Shortcut |") {
    }
    ASSERT_TRUE(readme) << "no keyboard table";
    std::getline(readme, line);  // the rule under the heading
    for (const KeyRow& k : kKeys) {
        ASSERT_TRUE(std::getline(readme, line)) << name_of(k);
        const std::vector<std::string> row = cells(line);
        ASSERT_EQ(row.size(), 3u) << line;
        EXPECT_EQ(row[1], utf8(key_name(k.id))) << name_of(k);
        EXPECT_NE(row[2].find(utf8(shortcut_text(k.id))), std::string::npos) << line;
    }
    // The rate switch, which is no key but has a shortcut of its own, closes the table.
    ASSERT_TRUE(std::getline(readme, line));
    const std::vector<std::string> row = cells(line);
    ASSERT_EQ(row.size(), 3u) << line;
    EXPECT_EQ(row[1], utf8(kRateSwitchName));
    EXPECT_NE(row[2].find(utf8(kRateSwitchShortcut)), std::string::npos) << line;
    ASSERT_TRUE(std::getline(readme, line));
    EXPECT_EQ(line, "") << "a row for no key";
}

// Each chord of a command runs it, and none is a key's too: the command would hide the key.
TEST(Commands, EachChordRunsItsCommandAndNoKeyHasIt) {
    for (const CommandRow& row : kCommands) {
        EXPECT_EQ(&command_row(row.command), &row);
        for (const CommandChord& c : row.chords) {
            if (c.vk == 0) continue;
            EXPECT_EQ(command_for_chord(c), row.command) << c.vk;
            if (!c.shift) {
                EXPECT_FALSE(key_for_chord({c.vk, c.ctrl})) << c.vk;
            }
        }
    }
    EXPECT_FALSE(command_for_chord({'H', false, false}));
    EXPECT_FALSE(command_for_chord({}));
}

}  // namespace
}  // namespace z5calc
