#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "keys.h"

// The calculator window's keys: one table that the layout, the hit test, the mouse, the
// keyboard and painting all read. Portable, so that its rules are tested natively too.
namespace z5calc {

// Every key of the window, in the table's order, which is the hit test's: where the kept sizes
// of the bottom rows overlap by a pixel or two, the earlier key takes the click.
// clang-format off
enum class KeyId : std::uint8_t {
    Num0, Num1, Num2, Num3, Num4, Num5, Num6, Num7, Num8, Num9, Num00, Num000,
    Decimal, Inv, Bs,
    AC, CE, Minus, Divide, Plus, Times, Equals, Percent,
    MC, MPlus, MMinus, MR,
    TaxIn, TaxOut, TaxAmount,
    Off, Trans,
};
// clang-format on

// What a key does beyond the engine: the engine's keys are pressed in the engine; the OFF key
// closes the window and the transfer key hands the readout to the host.
enum class KeyRole : std::uint8_t { Calc, Off, Trans };

// A rectangle of the layout at 96 DPI, in client pixels.
struct KeyRect {
    int left = 0, top = 0, width = 0, height = 0;
    friend constexpr bool operator==(const KeyRect&, const KeyRect&) = default;
};

// A bitmap resource's name, held in the table itself; resource names are matched in any case.
struct PictureName {
    wchar_t text[8] = {};
    constexpr const wchar_t* c_str() const noexcept { return text; }
};

constexpr PictureName picture_named(std::string_view name) noexcept {
    PictureName p;
    for (std::size_t i = 0; i < name.size() && i + 1 < std::size(p.text); ++i) {
        p.text[i] = static_cast<wchar_t>(name[i]);
    }
    return p;
}

// A key pressed with the keyboard beside its typed characters: a virtual-key code, with Ctrl
// held or not. vk 0: none.
struct KeyChord {
    std::uint16_t vk = 0;
    bool ctrl = false;
    friend constexpr bool operator==(const KeyChord&, const KeyChord&) = default;
};

// The virtual-key codes the chords use beside letters (whose codes are their capitals).
inline constexpr std::uint16_t kVkDelete = 0x2E;
inline constexpr std::uint16_t kVkF9 = 0x78;

struct KeyRow {
    KeyId id;
    const wchar_t* Name;  // its control array, or the name of a single control
    int Index;            // its element of the array, or -1 for a single control
    KeyRole role;
    Key engine;                 // what it presses (KeyRole::Calc)
    KeyRect rect;               // where it lies before its first press
    PictureName picture;        // shown while it is held
    std::wstring_view chars;    // the typed characters that click it
    bool repeatsOnDoubleClick;  // a double-click presses it once more (digits and BS)
    KeyChord chord = {};        // the key that clicks it where no character does
};

// The placement rules of arrange_keys: digits 1 to 9 in the calculator's grid, the operators in
// two columns beside them, a key of the lower rows 30 pixels under the one above it.
namespace layout_rules {
constexpr KeyRect digit_cell(int digit) noexcept {
    return {(digit - 1) % 3 * 31 + 10, (9 - digit) / 3 * 30 + 103, 31, 30};
}
constexpr KeyRect operator_cell(int index) noexcept {
    return {index % 2 * 31 + 111, index / 2 * 30 + 103, 31, 30};
}
// Under `above` with its own size.
constexpr KeyRect under(KeyRect above, int width, int height) noexcept {
    return {above.left, above.top + 30, width, height};
}
constexpr KeyRect tax_cell(int index) noexcept {
    return {index * 40 + 10, 77, 37, 19};
}
constexpr KeyRect mem_cell(int index) noexcept {
    return {173, index * 25 + 103, 25, 25};
}
}  // namespace layout_rules

namespace key_rows {
using namespace layout_rules;
constexpr KeyRow calc(KeyId id, const wchar_t* name, int index, Key engine, KeyRect rect,
                      std::wstring_view chars = {}, bool repeats = false) noexcept {
    const PictureName picture = picture_named(tag_of(engine));
    return {id, name, index, KeyRole::Calc, engine, rect, picture, chars, repeats};
}
// A key the engine does not know: the window does its work.
constexpr KeyRow own_key(KeyId id, const wchar_t* name, KeyRole role, KeyRect rect,
                         std::string_view picture, std::wstring_view chars) noexcept {
    return {id, name, -1, role, {}, rect, picture_named(picture), chars, false};
}
constexpr KeyRow digit(KeyId id, int index, KeyRect rect, std::wstring_view chars) noexcept {
    return calc(id, L"imgNumber", index, {KeyGroup::Number, static_cast<std::int8_t>(index)}, rect,
                chars, true);
}
constexpr Key op(int index) noexcept {
    return {KeyGroup::Operator, static_cast<std::int8_t>(index)};
}
constexpr KeyRow operator_key(KeyId id, int index, std::wstring_view chars) noexcept {
    const KeyRect rect = index < 7 ? operator_cell(index) : under(operator_cell(6), 25, 25);
    return calc(id, L"imgOperator", index, op(index), rect, chars);
}
constexpr KeyRow mem_key(KeyId id, int index) noexcept {
    return calc(id, L"imgMem", index, {KeyGroup::Mem, static_cast<std::int8_t>(index)},
                mem_cell(index));
}
constexpr KeyRow tax_key(KeyId id, int index) noexcept {
    return calc(id, L"imgTax", index, {KeyGroup::Tax, static_cast<std::int8_t>(index)},
                tax_cell(index));
}
constexpr KeyRow with_chord(KeyRow k, std::uint16_t vk, bool ctrl) noexcept {
    k.chord = {vk, ctrl};
    return k;
}
constexpr KeyRect kBottomLeft = under(digit_cell(1), 33, 33);
constexpr KeyRect kBottomMiddle = under(digit_cell(2), 33, 33);
constexpr KeyRect kBottomRight = under(digit_cell(3), 33, 33);
}  // namespace key_rows

inline constexpr std::array<KeyRow, 32> kKeys = [] {
    using namespace key_rows;
    return std::array<KeyRow, 32>{
        digit(KeyId::Num0, 0, kBottomLeft, L"0"),
        digit(KeyId::Num1, 1, digit_cell(1), L"1"),
        digit(KeyId::Num2, 2, digit_cell(2), L"2"),
        digit(KeyId::Num3, 3, digit_cell(3), L"3"),
        digit(KeyId::Num4, 4, digit_cell(4), L"4"),
        digit(KeyId::Num5, 5, digit_cell(5), L"5"),
        digit(KeyId::Num6, 6, digit_cell(6), L"6"),
        digit(KeyId::Num7, 7, digit_cell(7), L"7"),
        digit(KeyId::Num8, 8, digit_cell(8), L"8"),
        digit(KeyId::Num9, 9, digit_cell(9), L"9"),
        with_chord(digit(KeyId::Num00, 10, kBottomMiddle, L""), 'D', true),  // Ctrl+D: double zero
        with_chord(digit(KeyId::Num000, 11, kBottomRight, L""), 'K', true),  // Ctrl+K: thousand
        calc(KeyId::Decimal, L"imgDecimal", -1, {KeyGroup::Decimal, 0}, under(kBottomLeft, 33, 33),
             L"."),
        with_chord(
            calc(KeyId::Inv, L"imgInv", -1, {KeyGroup::Inv, 0}, under(kBottomMiddle, 33, 33)),
            kVkF9, false),
        calc(KeyId::Bs, L"imgBs", -1, {KeyGroup::Bs, 0}, under(kBottomRight, 33, 33), L"\b", true),
        operator_key(KeyId::AC, kOperatorAC, L"Cc"),
        with_chord(operator_key(KeyId::CE, kOperatorCE, L""), kVkDelete, false),
        operator_key(KeyId::Minus, 2, L"-"),
        operator_key(KeyId::Divide, 3, L"/"),
        operator_key(KeyId::Plus, 4, L"+"),
        operator_key(KeyId::Times, 5, L"Xx*"),
        operator_key(KeyId::Equals, kOperatorEquals, L"="),
        operator_key(KeyId::Percent, 7, L"%"),
        with_chord(mem_key(KeyId::MC, kMemClear), 'L', true),
        with_chord(mem_key(KeyId::MPlus, kMemPlus), 'P', true),
        with_chord(mem_key(KeyId::MMinus, kMemMinus), 'Q', true),
        with_chord(mem_key(KeyId::MR, kMemRecall), 'R', true),
        with_chord(tax_key(KeyId::TaxIn, kTaxIn), 'I', true),          // Ctrl+I: tax included
        with_chord(tax_key(KeyId::TaxOut, kTaxOut), 'E', true),        // Ctrl+E: tax excluded
        with_chord(tax_key(KeyId::TaxAmount, kTaxAmount), 'T', true),  // Ctrl+T: the tax
        own_key(KeyId::Off, L"imgCancel", KeyRole::Off, {144, 0, 41, 33}, "OFF", L"\x1b"),
        // Shown only by the calculator call; at rest it shows "TROFF" over the mascot.
        own_key(KeyId::Trans, L"imgTrans", KeyRole::Trans, {146, 205, 64, 68}, "TRON", L"\r"),
    };
}();

inline constexpr std::size_t kKeyCount = kKeys.size();
static_assert(
    [] {
        for (std::size_t i = 0; i < kKeyCount; ++i) {
            if (static_cast<std::size_t>(kKeys[i].id) != i) return false;
        }
        return true;
    }(),
    "every row of kKeys sits at the index of its KeyId");

constexpr const KeyRow& key_spec(KeyId id) noexcept {
    return kKeys[static_cast<std::size_t>(id)];
}

// The picture the transfer key shows while it is not held.
inline constexpr PictureName kTransferAtRest = picture_named("TROFF");

// The readout and the memory mark, which are no keys. The mark sizes itself to its text.
inline constexpr KeyRect kReadoutRect = {14, 41, 177, 25};
inline constexpr int kMemMarkLeft = 15;
inline constexpr int kMemMarkTop = 34;

// What a key is called where a person reads or hears it (tooltips, screen readers): Japanese,
// one name per key.
constexpr std::wstring_view key_name(KeyId id) noexcept {
    constexpr std::array<std::wstring_view, kKeyCount> names = {
        L"0",
        L"1",
        L"2",
        L"3",
        L"4",
        L"5",
        L"6",
        L"7",
        L"8",
        L"9",
        L"\u30C0\u30D6\u30EB\u30BC\u30ED",                    // ダブルゼロ
        L"\u30C8\u30EA\u30D7\u30EB\u30BC\u30ED",              // トリプルゼロ
        L"\u5C0F\u6570\u70B9",                                // 小数点
        L"\u30D7\u30E9\u30B9\u30DE\u30A4\u30CA\u30B9",        // プラスマイナス
        L"\u30D0\u30C3\u30AF\u30B9\u30DA\u30FC\u30B9",        // バックスペース
        L"\u30AF\u30EA\u30A2",                                // クリア
        L"\u30AF\u30EA\u30A2\u30A8\u30F3\u30C8\u30EA\u30FC",  // クリアエントリー
        L"\u5F15\u304F",                                      // 引く
        L"\u5272\u308B",                                      // 割る
        L"\u8DB3\u3059",                                      // 足す
        L"\u639B\u3051\u308B",                                // 掛ける
        L"\u30A4\u30B3\u30FC\u30EB",                          // イコール
        L"\u30D1\u30FC\u30BB\u30F3\u30C8",                    // パーセント
        L"\u30E1\u30E2\u30EA\u30FC\u30AF\u30EA\u30A2",        // メモリークリア
        L"\u30E1\u30E2\u30EA\u30FC\u30D7\u30E9\u30B9",        // メモリープラス
        L"\u30E1\u30E2\u30EA\u30FC\u30DE\u30A4\u30CA\u30B9",  // メモリーマイナス
        L"\u30E1\u30E2\u30EA\u30FC\u30EA\u30B3\u30FC\u30EB",  // メモリーリコール
        L"\u7A0E\u8FBC",                                      // 税込
        L"\u7A0E\u5225",                                      // 税別
        L"\u7A0E\u984D",                                      // 税額
        L"\u9589\u3058\u308B",                                // 閉じる
        L"\u8EE2\u8A18",                                      // 転記
    };
    return names[static_cast<std::size_t>(id)];
}

// A key's label as its face shows it.
constexpr std::wstring_view key_label(KeyId id) noexcept {
    constexpr std::array<std::wstring_view, kKeyCount> labels = {
        L"0",
        L"1",
        L"2",
        L"3",
        L"4",
        L"5",
        L"6",
        L"7",
        L"8",
        L"9",
        L"00",
        L"000",
        L".",
        L"\u00B1",
        L"\u2190",
        L"AC",
        L"CE",
        L"\u2212",
        L"\u00F7",
        L"+",
        L"\u00D7",
        L"=",
        L"%",
        L"MC",
        L"M+",
        L"M\u2212",
        L"MR",
        L"\u7A0E\u8FBC",
        L"\u7A0E\u5225",
        L"\u7A0E",
        L"OFF",
        L"\u8EE2\u8A18",
    };
    return labels[static_cast<std::size_t>(id)];
}

// The shortcut of a key as a person reads it: its first typed character, else its chord
// ("7", "Backspace", "Ctrl+L", "Delete").
std::wstring shortcut_text(KeyId id);

// The key a typed character clicks, if any.
constexpr std::optional<KeyId> key_for_char(wchar_t ch) noexcept {
    if (ch == L'\0') return std::nullopt;
    for (const KeyRow& k : kKeys) {
        if (k.chars.find(ch) != std::wstring_view::npos) return k.id;
    }
    return std::nullopt;
}

// The key a chord clicks, if any.
constexpr std::optional<KeyId> key_for_chord(KeyChord chord) noexcept {
    if (chord.vk == 0) return std::nullopt;
    for (const KeyRow& k : kKeys) {
        if (k.chord == chord) return k.id;
    }
    return std::nullopt;
}

// The key that presses that engine key, if any.
constexpr std::optional<KeyId> key_pressing(Key engine) noexcept {
    for (const KeyRow& k : kKeys) {
        if (k.role == KeyRole::Calc && k.engine == engine) return k.id;
    }
    return std::nullopt;
}

// The engine key a tag names ("7", "AC", "taxin", "." for the decimal point), if any.
inline std::optional<KeyId> key_tagged(std::wstring_view tag) noexcept {
    char narrow[8] = {};
    if (tag.size() >= std::size(narrow)) return std::nullopt;
    for (std::size_t i = 0; i < tag.size(); ++i) {
        if (tag[i] <= 0 || tag[i] > 0x7E) return std::nullopt;
        narrow[i] = static_cast<char>(tag[i]);
    }
    const std::optional<Key> engine = key_from_tag({narrow, tag.size()});
    return engine ? key_pressing(*engine) : std::nullopt;
}

// The key of that control array and index (-1 for a single control), if any.
constexpr std::optional<KeyId> key_named(std::wstring_view name, int index) noexcept {
    for (const KeyRow& k : kKeys) {
        if (k.Name == name && k.Index == index) return k.id;
    }
    return std::nullopt;
}

}  // namespace z5calc
