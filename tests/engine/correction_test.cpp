#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calculation.h"
#include "key_runner.h"

namespace z5calc {
namespace {

using testing::spelt;

// Key tags, "SW" the rate switch, "G" the grand total.
void work(Calculation& calc, std::string_view words) {
    std::istringstream in{std::string(words)};
    for (std::string w; in >> w;) {
        if (w == "SW") {
            calc.switch_tax_rate();
        } else if (w == "G") {
            calc.press_grand_total();
        } else if (auto key = key_from_tag(w)) {
            calc.press(*key);
        } else {
            ADD_FAILURE() << "unknown word " << w;
        }
    }
}

std::vector<Key> keys_of(std::string_view tags) {
    std::vector<Key> keys;
    std::istringstream in{std::string(tags)};
    for (std::string w; in >> w;) keys.push_back(*key_from_tag(w));
    return keys;
}

constexpr TaxRates kRates = {0.1, 0.08, 0};

struct Opened {
    Calculation calc;
    explicit Opened(std::string_view keys, ResultRounding rounding = {}) {
        calc.open(0, 0, kRates, TaxRateKind::Standard, rounding);
        work(calc, keys);
    }
    // The correctable lines, oldest first.
    std::vector<std::uint64_t> entries() const {
        std::vector<std::uint64_t> lines;
        for (auto n = calc.correctable_line(std::nullopt, 0); n; n = calc.correctable_line(n, -1))
            lines.insert(lines.begin(), *n);
        return lines;
    }
    bool correct(std::size_t entry, std::string_view tags) {
        const std::vector<Key> keys = keys_of(tags);
        return calc.correct(entries().at(entry), keys);
    }
};

// A corrected chain ends as the chain typed right the first time: readout, every line (the
// corrected one marked), memory, rate and grand total.
TEST(Correction, TheChainFollowsAsIfTypedRight) {
    struct Row {
        const char* keys;
        std::size_t entry;
        const char* correction;
        const char* typedRight;
    };
    const Row rows[] = {
        {"1 0 + 2 0 + 3 0 + SW 4 0 taxin + 5 0 MP + 6 0 =", 2, "3 5",
         "1 0 + 2 0 + 3 5 + SW 4 0 taxin + 5 0 MP + 6 0 ="},
        {"8 / 2 + 1 =", 1, "0", "8 / 0 + 1 ="},  // the error from that line on
        {"1 2 X 3 =", 0, "1 . 5 INV", "1 . 5 INV X 3 ="},
        {"5 + 2 = 2 0 X 3 =", 2, "0 0 0", "5 + 2 = 0 0 0 X 3 ="},
    };
    for (const Row& row : rows) {
        Opened fixed(row.keys), right(row.typedRight);
        ASSERT_TRUE(fixed.correct(row.entry, row.correction)) << row.keys;
        std::string tape = spelt(fixed.calc.tape());
        const std::size_t mark = tape.find('*');
        ASSERT_NE(mark, std::string::npos) << row.keys;
        EXPECT_EQ(tape.erase(mark, 1), spelt(right.calc.tape())) << row.keys;
        EXPECT_EQ(fixed.calc.readout(), right.calc.readout()) << row.keys;
        EXPECT_EQ(fixed.calc.state().mem, right.calc.state().mem) << row.keys;
        EXPECT_EQ(fixed.calc.tax_rate_kind(), right.calc.tax_rate_kind()) << row.keys;
        EXPECT_EQ(fixed.calc.grand_total(), right.calc.grand_total()) << row.keys;
    }
}

TEST(Correction, MendsAnErrorAndUndoesTheLast) {
    Opened o("8 / 2 =");
    ASSERT_TRUE(o.correct(1, "0"));
    EXPECT_EQ(o.calc.readout(), "Error");
    ASSERT_TRUE(o.correct(1, "1 6"));
    EXPECT_EQ(spelt(o.calc.tape()), "start 0.|/ 8.|= 16.*|= 0.5|");
    EXPECT_TRUE(o.calc.can_undo_correction());
    EXPECT_TRUE(o.calc.undo_correction());  // the last correction
    EXPECT_EQ(o.calc.readout(), "Error");
    EXPECT_FALSE(o.calc.can_undo_correction());
    EXPECT_FALSE(o.calc.undo_correction());
    ASSERT_TRUE(o.correct(1, "2"));
    EXPECT_EQ(spelt(o.calc.tape()), "start 0.|/ 8.|= 2.*|= 4.|");
}

// Only numbers typed in this calculation can be corrected, with keys that type a number.
TEST(Correction, RefusesWhatCannotBeCorrected) {
    Opened o("7 + 5 = AC 1 + 2 = MR");
    const std::string before = spelt(o.calc.tape());
    EXPECT_EQ(o.entries().size(), 2u);  // 1 and 2 after AC; results and MR are not entries
    const std::uint64_t newest = o.calc.tape().number_of(o.calc.tape().size() - 1);
    EXPECT_FALSE(o.calc.correct(newest, keys_of("4")));            // MR's line
    EXPECT_FALSE(o.calc.correct(newest - 1, keys_of("4")));        // a result
    EXPECT_FALSE(o.calc.correct(newest + 5, keys_of("4")));        // no such line
    EXPECT_FALSE(o.calc.correct(o.entries()[0], keys_of("+ 4")));  // not a number's keys
    EXPECT_FALSE(o.calc.correct(o.entries()[0], {}));
    EXPECT_EQ(spelt(o.calc.tape()), before);
    Calculation empty;
    EXPECT_FALSE(empty.correctable_line(std::nullopt, 0));
    // A line the full tape drops meanwhile is gone: its correction is refused.
    Opened full("3 +");
    const std::uint64_t first = full.entries()[0];
    for (std::size_t i = 0; i < Tape::kCapacity; ++i) work(full.calc, "1 +");
    EXPECT_FALSE(full.calc.correct(first, keys_of("4")));
    EXPECT_TRUE(full.correct(0, "2"));
    EXPECT_EQ(full.calc.readout(), std::to_string(Tape::kCapacity + 4) + ".");  // 3 + 300 + 1
}

// A transfer refused over the limit leaves its "=" among the steps: the number it took can be
// corrected, and the transfer then goes.
TEST(Correction, ANumberARefusedTransferTookCanBeCorrected) {
    Calculation calc;
    calc.open(0, 100, kRates, TaxRateKind::Standard);
    work(calc, "5 0 0");
    ASSERT_EQ(calc.transfer(), Calculation::Transfer::OverLimit);
    ASSERT_TRUE(calc.correct(*calc.correctable_line(std::nullopt, 0), keys_of("5 0")));
    EXPECT_EQ(calc.transfer(), Calculation::Transfer::Done);
    EXPECT_EQ(calc.transferred(), 50);
}

TEST(GrandTotal, SumsResultsAcrossCallsUntilRecalledTwice) {
    Calculation calc;
    for (const char* keys : {"2 + 3 =", "1 0 X 2 = AC", "2 0 0 X 5 %"}) {
        calc.open(0, 0, kRates, TaxRateKind::Standard);
        work(calc, keys);
    }
    EXPECT_EQ(calc.grand_total(), 35);
    calc.open(0, 0, kRates, TaxRateKind::Standard, {0, ResultRule::HalfUp});
    work(calc, "1 . 5 + 1 =");  // 2.5 rounds to 3, and adds so
    work(calc, "G");
    EXPECT_EQ(calc.readout(), "38.");
    work(calc, "G");
    EXPECT_EQ(calc.grand_total(), 0);
    EXPECT_EQ(spelt(calc.tape()).substr(spelt(calc.tape()).rfind("= 3.")), "= 3.|GT 38.|GTC 38.|");

    // A total the host cleared stays cleared: the steps before its clear are no longer
    // corrected (which would add their results again), those after it are.
    Opened host("1 0 + 5 =");
    host.calc.clear_grand_total();
    EXPECT_FALSE(host.calc.correctable_line(std::nullopt, 0));
    work(host.calc, "2 X 3 =");
    ASSERT_TRUE(host.correct(0, "4"));
    EXPECT_EQ(host.calc.grand_total(), 12);
}

TEST(ResultRounding, DecimalExactByEachRule) {
    struct Row {
        double x;
        int places;
        ResultRule rule;
        double rounded;
    };
    const Row rows[] = {
        {0.125, 2, ResultRule::HalfUp, 0.13},
        {2.675, 2, ResultRule::HalfUp, 2.68},
        {1.005, 2, ResultRule::HalfUp, 1.01},
        {-2.5, 0, ResultRule::HalfUp, -3},
        {-0.125, 2, ResultRule::HalfUp, -0.13},
        {2.4999, 0, ResultRule::HalfUp, 2},
        {2.675, 2, ResultRule::Cut, 2.67},
        {-2.675, 2, ResultRule::Cut, -2.67},
        {1.9, 0, ResultRule::Cut, 1},
        {-1.9, 0, ResultRule::Cut, -1},
        {1.001, 2, ResultRule::Up, 1.01},
        {-1.001, 2, ResultRule::Up, -1.01},
        {2.1, 0, ResultRule::Up, 3},
        {-2.1, 0, ResultRule::Up, -3},
        {1.005, 2, ResultRule::Cut, 1},
        {0.004, 2, ResultRule::HalfUp, 0},
        {1e-20, 2, ResultRule::Up, 0},
        {1e20, 0, ResultRule::Cut, 1e20},
        {7.5, -1, ResultRule::Cut, 7.5},
        {7.5, 1, ResultRule::Cut, 7.5},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(round_result(r.x, {static_cast<std::int8_t>(r.places), r.rule}), r.rounded)
            << r.x << " at " << r.places;
    }
    // Results are rounded; what is typed is not.
    EXPECT_EQ(Opened("1 / 8 =", {2, ResultRule::HalfUp}).calc.readout(), "0.13");
    EXPECT_EQ(Opened("1 . 2 3 4", {2, ResultRule::HalfUp}).calc.readout(), "1.234");
    EXPECT_EQ(Opened("2 0 0 X 1 . 2 5 %", {0, ResultRule::Cut}).calc.readout(), "2.");
    Opened recalled("1 . 2 3 5 MP AC MR", {2, ResultRule::HalfUp});
    recalled.calc.transfer();
    EXPECT_EQ(recalled.calc.transferred(), 1.24);
}

// The number a correction shows while it is typed, as the readout would show it.
TEST(Correction, TypedReadoutIsTheReadoutOfTheKeys) {
    const struct {
        const char* keys;
        const char* readout;
    } rows[] = {
        {"", "0."},       {"1 2 . 5", "12.5"},      {"1 2 BS", "1."},
        {"5 INV", "-5."}, {"3 00 000", "300,000."}, {"1 2 3 4 5 6 7 8 9 0 1 2 3", "123,456,789."}};
    for (const auto& row : rows)
        EXPECT_EQ(Calculation::typed_readout(keys_of(row.keys)), row.readout) << row.keys;
}

}  // namespace
}  // namespace z5calc
