#include <random>
#include <regex>

#include "engine/key_runner.h"
#include "number_text.h"

namespace z5calc::testing {
namespace {

// The forms a readout may take from a fresh calculator, whatever the keys.
bool allowed_readout(const std::string& text) {
    static const std::regex number(R"(-?[0-9,]*\.?[0-9]*)");
    if (text.empty() || text == "-" || text == "Error") return true;
    if (text.size() > 14) return false;
    return std::regex_match(text, number) && text.find_first_of("0123456789") != std::string::npos;
}

// A formatted number exactly as the display writes one.
bool display_form(const std::string& text) {
    static const std::regex shown(R"(-?(0|[1-9][0-9]{0,2}(,[0-9]{3})*)\.[0-9]*)");
    return text.size() <= 14 && std::regex_match(text, shown);
}

// Keys whose readout always comes from show_number when it changes (digits and the point
// during decimal entry, backspace and CE/AC write their text directly).
bool shown_by_show_number(const std::string& tag) {
    for (const char* key : {"+", "-", "X", "/", "=", "%", "MR", "INV"})
        if (tag == key) return true;
    for (auto key : kTaxTags)
        if (tag == key) return true;
    return false;
}

TEST(Property, RandomKeySequencesKeepTheReadoutWellFormed) {
    std::vector<std::string> tags;
    for (auto tag : kNumberTags) tags.emplace_back(tag);
    for (auto tag : kOperatorTags) tags.emplace_back(tag);
    for (auto tag : kMemTags) tags.emplace_back(tag);
    for (auto tag : kTaxTags) tags.emplace_back(tag);
    for (const char* tag : {".", "INV", "BS", "9", "0", "000", "+", "-", "=", "."})
        tags.emplace_back(tag);

    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> pick(0, tags.size() - 1);
    std::uniform_int_distribution<int> mode(0, 4);
    constexpr int kSequences = 3000;
    constexpr int kKeysPerSequence = 120;

    for (int sequence = 0; sequence < kSequences; ++sequence) {
        KeyRunner run;
        run.calc.set_tax(0.08, static_cast<std::int16_t>(mode(random)));
        std::string history;
        for (int k = 0; k < kKeysPerSequence; ++k) {
            const std::string& tag = tags[pick(random)];
            history += tag + ' ';
            bool dbl = (k % 17) == 0;
            const CalcState before = run.state();
            run.press(dbl ? tag + "*" : tag);
            const CalcState& s = run.state();
            const std::string text = run.readout();
            ASSERT_TRUE(allowed_readout(text)) << "readout '" << text << "' after " << history;
            ASSERT_TRUE(s.Numops == 0 || s.Numops == 1) << s.Numops << " after " << history;
            ASSERT_EQ(s.memMark, s.mem != 0) << history;
            // A completed calculation (a second number typed, then "=") shows its result in the
            // display's own format.
            bool evaluated = before.Numops == 1 && before.LastInput == InputKind::Nums &&
                             read_number(before.Readout.view()).has_value();
            if (tag == "=" && evaluated && text != "Error") {
                ASSERT_TRUE(display_form(text)) << "readout '" << text << "' after " << history;
                // Reading the result back and showing it again changes nothing.
                ASSERT_EQ(display_text(*read_number(text)).view(), text) << history;
            }
            // Whatever show_number writes ends in its point or a nonzero decimal.
            if (run.calc.readout() != before.Readout.view() && shown_by_show_number(tag)) {
                ASSERT_TRUE(text == "Error" || text.back() != '0' || text.find('.') == text.npos)
                    << "readout '" << text << "' after " << history;
            }
            if (text == "Error") {
                ASSERT_FALSE(read_number(text).has_value());
            }
        }
    }
}

}  // namespace
}  // namespace z5calc::testing
