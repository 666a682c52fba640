#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// What the calculator window does beside its keys, each with its name and its shortcut: one
// table that the keyboard, the context menu and screen readers read. Portable, so that its
// rules are tested natively too.
namespace z5calc {

enum class Command : std::uint8_t {
    ShowTape = 1,
    CopyTape,
    CopyNumber,
    Paste,
    SwitchRate,
    ClearTape,
    GrandTotal,
    Correct,
    UndoCorrection
};

// A key with the modifiers it needs held (and the others not); vk 0: none.
struct CommandChord {
    std::uint16_t vk = 0;
    bool ctrl = false;
    bool shift = false;
    friend constexpr bool operator==(const CommandChord&, const CommandChord&) = default;
};

inline constexpr std::uint16_t kVkInsert = 0x2D;
inline constexpr std::uint16_t kVkF2 = 0x71;
inline constexpr std::uint16_t kVkF8 = 0x77;

struct CommandRow {
    Command command;
    std::wstring_view name;      // as the menu and screen readers name it
    std::wstring_view shortcut;  // as they write its first chord; empty for none
    std::array<CommandChord, 2> chords;
    bool separatorAfter;  // in the menu
};

// clang-format off
inline constexpr std::array<CommandRow, 9> kCommands = {{
    {Command::ShowTape, L"\u30C6\u30FC\u30D7\u8868\u793A", L"Ctrl+H", {{{'H', true, false}}}, false},  // テープ表示
    {Command::CopyTape, L"\u30C6\u30FC\u30D7\u3092\u30B3\u30D4\u30FC", L"Ctrl+Shift+C", {{{'C', true, true}}}, false},  // テープをコピー
    {Command::CopyNumber, L"\u6570\u5024\u3092\u30B3\u30D4\u30FC", L"Ctrl+C", {{{'C', true, false}, {kVkInsert, true, false}}}, false},  // 数値をコピー
    {Command::Paste, L"\u8CBC\u308A\u4ED8\u3051", L"Ctrl+V", {{{'V', true, false}, {kVkInsert, false, true}}}, true},  // 貼り付け
    {Command::SwitchRate, L"\u7A0E\u7387\u5207\u66FF", L"F8", {{{kVkF8, false, false}}}, true},  // 税率切替
    {Command::ClearTape, L"\u30C6\u30FC\u30D7\u3092\u6D88\u53BB", L"", {}, true},  // テープを消去
    {Command::GrandTotal, L"GT\u547C\u51FA", L"G", {{{'G', false, false}, {'G', false, true}}}, true},  // GT呼出
    {Command::Correct, L"\u8A02\u6B63", L"F2", {{{kVkF2, false, false}}}, false},  // 訂正
    {Command::UndoCorrection, L"\u8A02\u6B63\u3092\u5143\u306B\u623B\u3059", L"Ctrl+Z", {{{'Z', true, false}}}, false},  // 訂正を元に戻す
}};
// clang-format on

constexpr const CommandRow& command_row(Command command) noexcept {
    return kCommands[static_cast<std::size_t>(command) - 1];
}

// The command a chord runs, if any.
constexpr std::optional<Command> command_for_chord(CommandChord chord) noexcept {
    if (chord.vk == 0) return std::nullopt;
    for (const CommandRow& row : kCommands) {
        for (const CommandChord& c : row.chords) {
            if (c == chord) return row.command;
        }
    }
    return std::nullopt;
}

}  // namespace z5calc
