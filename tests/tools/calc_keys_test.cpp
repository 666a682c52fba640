#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc_keys.h"

namespace z5calc {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(std::vector<std::string_view> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    int status = run_calc_keys(args, in, out, err);
    return {status, out.str(), err.str()};
}

TEST(CalcKeys, OneLinePerKeyWithReadoutAndFlags) {
    Result r = run({"5", "MP", "8", "/", "0", "=", "+", "MC"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "5\t5.\t\n"
              "MP\t5.\tm\n"
              "8\t8.\tm\n"
              "/\t8.\tm\n"
              "0\t0.\tm\n"
              "=\tError\tm\n"
              "+\tError\tbm\n"
              "MC\tError\t\n");
    EXPECT_EQ(r.err, "");
}

TEST(CalcKeys, KeyTagsReachEveryKey) {
    Result r = run({"--tax-rate", "0.08", "1",   "2", "3",  "4",  ".",  "5",     "INV",    "BS",
                    "AC",         "00",   "000", "7", "CE", "9",  "X",  "2",     "-",      "3",
                    "/",          "5",    "%",   "=", "MP", "MM", "MR", "taxin", "taxout", "tax"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "1\t1.\t\n2\t12.\t\n3\t123.\t\n4\t1,234.\t\n.\t1,234.\t\n5\t1,234.5\t\n"
              "INV\t-1,234.5\t\nBS\t-1,234.\t\nAC\t0.\t\n00\t0.\t\n000\t0.\t\n7\t7.\t\n"
              "CE\t0.\t\n9\t9.\t\nX\t9.\t\n2\t2.\t\n-\t18.\t\n3\t3.\t\n/\t15.\t\n5\t5.\t\n"
              "%\t0.75\t\n=\t20.\t\nMP\t20.\tm\nMM\t20.\t\nMR\t0.\t\ntaxin\t0.\t\n"
              "taxout\t0.\t\ntax\t0.\t\n");
}

TEST(CalcKeys, TaxOptionsAndOpen) {
    EXPECT_EQ(run({"--tax-rate", "0.08", "--open", "999", "taxin"}).out, "taxin\t1,078.\t\n");
    EXPECT_EQ(run({"--tax-rate", "0.08", "--tax-mode", "1", "--open", "999", "taxin"}).out,
              "taxin\t1,079.\t\n");
    EXPECT_EQ(run({"1", "000", "taxin"}).out, "1\t1.\t\n000\t1,000.\t\ntaxin\t1,100.\t\n");
    // The reduced rate, whatever the standard one is.
    EXPECT_EQ(run({"--tax-rate", "0.1", "--reduced-rate", "0.08", "--open", "1000", "taxin"}).out,
              "taxin\t1,080.\t\n");
    EXPECT_EQ(run({"--open", "1500", "-", "5", "0", "0", "="}).out,
              "-\t1500.\t\n5\t5.\t\n0\t50.\t\n0\t500.\t\n=\t1,000.\t\n");
    EXPECT_EQ(run({"--open", "12.5", "X", "2", "="}).out, "X\t12.5\t\n2\t2.\t\n=\t25.\t\n");
    // a repeated option: the last one counts
    EXPECT_EQ(run({"--open", "1", "--open", "-3", "="}).out, "=\t-3.\t\n");
}

TEST(CalcKeys, StandardInputRunsEachLineOnAFreshCalculator) {
    Result r = run({"--open", "10"}, "+ 5 =\n\n5 MP\n  MR\t \r\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "+\t10.\t\n5\t5.\t\n=\t15.\t\n\n"
              "\n"
              "5\t5.\t\nMP\t5.\tm\n\n"
              "MR\t0.\t\n\n");
}

TEST(CalcKeys, EmptyStandardInputPrintsNothing) {
    Result r = run({}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

struct BadCase {
    std::vector<std::string_view> args;
    const char* input;
    const char* out;
    const char* err;
};

TEST(CalcKeys, BadInputNamesTheWordAndExitsWithTwo) {
    const BadCase cases[] = {
        {{"2", "Q"}, "", "", "calc-keys: unknown key 'Q'\n"},
        {{"2", "+", "x"}, "", "", "calc-keys: unknown key 'x'\n"},
        {{"5", "--open", "3"}, "", "", "calc-keys: unknown key '--open'\n"},
        {{"--open"}, "", "", "calc-keys: missing value for --open\n"},
        {{"--tax-rate"}, "", "", "calc-keys: missing value for --tax-rate\n"},
        {{"--tax-mode", "1", "--tax-mode"}, "", "", "calc-keys: missing value for --tax-mode\n"},
        {{"--tax-rate", "abc", "5"}, "", "", "calc-keys: malformed number 'abc' for --tax-rate\n"},
        {{"--tax-rate", "0.08x"}, "", "", "calc-keys: malformed number '0.08x' for --tax-rate\n"},
        {{"--tax-rate", ""}, "", "", "calc-keys: malformed number '' for --tax-rate\n"},
        {{"--tax-rate", "inf"}, "", "", "calc-keys: malformed number 'inf' for --tax-rate\n"},
        {{"--reduced-rate", "8%"}, "", "", "calc-keys: malformed number '8%' for --reduced-rate\n"},
        {{"--tax-mode", "1.5"}, "", "", "calc-keys: malformed number '1.5' for --tax-mode\n"},
        {{"--tax-mode", "70000"}, "", "", "calc-keys: malformed number '70000' for --tax-mode\n"},
        {{"--open", "nan", "5"}, "", "", "calc-keys: malformed number 'nan' for --open\n"},
        {{"--open", "1e999"}, "", "", "calc-keys: malformed number '1e999' for --open\n"},
        {{"--open", "1,500"}, "", "", "calc-keys: malformed number '1,500' for --open\n"},
        {{"--verbose", "5"}, "", "", "calc-keys: unknown option '--verbose'\n"},
        // stdin: the sequences before the bad one are printed, nothing of it or after it
        {{},
         "2 + 3 =\n2 Q\n5\n",
         "2\t2.\t\n+\t2.\t\n3\t3.\t\n=\t5.\t\n\n",
         "calc-keys: unknown key 'Q'\n"},
        {{}, "5 6 7 taxout tax9\n", "", "calc-keys: unknown key 'tax9'\n"},
    };
    for (const BadCase& c : cases) {
        Result r = run(c.args, c.input);
        std::string label = c.args.empty() ? std::string("stdin") : std::string(c.args.front());
        EXPECT_EQ(r.status, 2) << label;
        EXPECT_EQ(r.out, c.out) << label;
        EXPECT_EQ(r.err, c.err) << label;
    }
}

// The real program, as a script would run it.
Result run_program(const std::string& args, const std::string& input) {
    auto dir =
        std::filesystem::temp_directory_path() / ("calc-keys-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in") << input;
    std::string command = std::string(CALC_KEYS_EXE) + " " + args + " <" + (dir / "in").string() +
                          " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
    int raw = std::system(command.c_str());
    auto slurp = [](const std::filesystem::path& p) {
        std::ifstream f(p);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "out"), slurp(dir / "err")};
    std::filesystem::remove_all(dir);
    return r;
}

TEST(CalcKeysProgram, ExitStatusAndStreams) {
    Result ok = run_program("--tax-rate 0.08 1 000 taxin", "");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "1\t1.\t\n000\t1,000.\t\ntaxin\t1,080.\t\n");
    Result batch = run_program("", "2 + 3 =\n8 / 0 = +\n");
    EXPECT_EQ(batch.status, 0);
    EXPECT_EQ(batch.out,
              "2\t2.\t\n+\t2.\t\n3\t3.\t\n=\t5.\t\n\n8\t8.\t\n/\t8.\t\n0\t0.\t\n"
              "=\tError\t\n+\tError\tb\n\n");
    Result bad = run_program("2 '+' Z", "");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "calc-keys: unknown key 'Z'\n");
}

}  // namespace
}  // namespace z5calc
