// Engine throughput: keys per second on a realistic mixed sequence, and show_number's text
// against snprintf("%.9f") measured in the same run, printed as a ratio.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "calculator.h"
#include "number_text.h"

namespace {

using namespace z5calc;

class QuietDisplay final : public CalcDisplay {
  public:
    void beep() noexcept override { ++beeps; }
    long beeps = 0;
};

std::vector<Key> mixed_keys() {
    const char* tags[] = {"1", "2",  "3",  "4",  ".", "5",   "6",  "+",  "7",   "8",     "9",
                          "X", "2",  "=",  "MP", "5", "0",   "0",  "-",  "1",   "0",     "%",
                          "=", "BS", "BS", "9",  "/", "3",   "=",  "MR", "INV", "taxin", "AC",
                          "0", "0",  "7",  "00", "+", "000", "CE", "4",  "=",   "MM",    "taxout"};
    std::vector<Key> keys;
    for (const char* tag : tags) keys.push_back(*key_from_tag(tag));
    return keys;
}

void BM_MixedKeys(benchmark::State& state) {
    QuietDisplay display;
    Calculator calc(display);
    calc.set_tax(0.08, 0);
    const std::vector<Key> keys = mixed_keys();
    for (auto _ : state) {
        for (Key key : keys) calc.press(key);
        benchmark::DoNotOptimize(calc.state());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(keys.size()));
}
BENCHMARK(BM_MixedKeys);

const double kValues[] = {0.3,         1234.0,  -1234.5, 10.0 / 3, 999999999.0, -123456789.56,
                          0.000000001, 1078.92, 0.5,     42.0,     1.0 / 7,     65536.25};

void BM_ShowNumberText(benchmark::State& state) {
    for (auto _ : state) {
        for (double v : kValues) {
            ReadoutText text = display_text(v);
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::size(kValues));
}
BENCHMARK(BM_ShowNumberText);

void BM_SnprintfFloor(benchmark::State& state) {
    char buf[64];
    for (auto _ : state) {
        for (double v : kValues) {
            int n = std::snprintf(buf, sizeof buf, "%.9f", v);
            benchmark::DoNotOptimize(n);
            benchmark::DoNotOptimize(buf);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::size(kValues));
}
BENCHMARK(BM_SnprintfFloor);

// Keeps each run's time per iteration so the ratio can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations > 0) nanos[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> nanos;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto keys = reporter.nanos.find("BM_MixedKeys");
    auto text = reporter.nanos.find("BM_ShowNumberText");
    auto floor = reporter.nanos.find("BM_SnprintfFloor");
    if (keys != reporter.nanos.end()) {
        double per_key = keys->second / static_cast<double>(mixed_keys().size());
        std::printf("engine: %.1f ns per key, %.2f million keys per second (target >= 5)\n",
                    per_key, 1000.0 / per_key);
    }
    if (text != reporter.nanos.end() && floor != reporter.nanos.end()) {
        std::printf("show_number text / snprintf(\"%%.9f\"): %.2f (target <= 3)\n",
                    text->second / floor->second);
    }
    benchmark::Shutdown();
    return 0;
}
