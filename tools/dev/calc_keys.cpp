#include "calc_keys.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "calculator.h"

namespace z5calc {

namespace {

struct Options {
    double taxRate = 0.1;
    std::int16_t taxMode = 0;
    std::optional<double> openValue;
    std::optional<double> reducedRate;  // given: the tax keys use it, as after F8
};

class BadInput {
  public:
    explicit BadInput(std::string message) : message_(std::move(message)) {}
    const std::string& message() const { return message_; }

  private:
    std::string message_;
};

class RecordingDisplay final : public CalcDisplay {
  public:
    void beep() noexcept override { beeped = true; }
    bool beeped = false;
};

std::string quoted(std::string_view word) {
    return "'" + std::string(word) + "'";
}

double parse_finite(std::string_view word, std::string_view option) {
    double value = 0;
    auto r = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || r.ec != std::errc{} || r.ptr != word.data() + word.size() ||
        !std::isfinite(value)) {
        throw BadInput("malformed number " + quoted(word) + " for " + std::string(option));
    }
    return value;
}

std::int16_t parse_mode(std::string_view word) {
    int value = 0;
    auto r = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || r.ec != std::errc{} || r.ptr != word.data() + word.size() ||
        value < INT16_MIN || value > INT16_MAX) {
        throw BadInput("malformed number " + quoted(word) + " for --tax-mode");
    }
    return static_cast<std::int16_t>(value);
}

// Reads the options in front of the keys; returns the index of the first key word.
std::size_t parse_options(std::span<const std::string_view> args, Options& options) {
    std::size_t i = 0;
    for (; i < args.size() && args[i].starts_with("--"); ++i) {
        std::string_view option = args[i];
        if (option != "--tax-rate" && option != "--tax-mode" && option != "--open" &&
            option != "--reduced-rate") {
            throw BadInput("unknown option " + quoted(option));
        }
        if (i + 1 == args.size()) throw BadInput("missing value for " + std::string(option));
        std::string_view value = args[++i];
        if (option == "--tax-rate") {
            options.taxRate = parse_finite(value, option);
        } else if (option == "--reduced-rate") {
            options.reducedRate = parse_finite(value, option);
        } else if (option == "--tax-mode") {
            options.taxMode = parse_mode(value);
        } else {
            options.openValue = parse_finite(value, option);
        }
    }
    return i;
}

std::vector<Key> parse_keys(std::span<const std::string_view> words) {
    std::vector<Key> keys;
    keys.reserve(words.size());
    for (std::string_view word : words) {
        auto key = key_from_tag(word);
        if (!key) throw BadInput("unknown key " + quoted(word));
        keys.push_back(*key);
    }
    return keys;
}

void run_sequence(const Options& options, std::span<const std::string_view> words,
                  std::ostream& out) {
    std::vector<Key> keys = parse_keys(words);  // all or nothing: check before printing
    RecordingDisplay display;
    Calculator calc(display);
    calc.set_tax(options.taxRate, options.taxMode);
    if (options.openValue) calc.open(*options.openValue, 0);
    if (options.reducedRate) {
        calc.set_reduced_tax(*options.reducedRate);
        calc.set_tax_rate_kind(TaxRateKind::Reduced);
    }

    std::string line;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        display.beeped = false;
        calc.press(keys[i]);
        line.assign(words[i]);
        line += '\t';
        line += calc.readout();
        line += '\t';
        if (display.beeped) line += 'b';
        if (calc.state().memMark) line += 'm';
        line += '\n';
        out << line;
    }
}

std::vector<std::string_view> split_words(std::string_view line) {
    std::vector<std::string_view> words;
    constexpr std::string_view kSpace = " \t\r\v\f";
    std::size_t pos = 0;
    while ((pos = line.find_first_not_of(kSpace, pos)) != std::string_view::npos) {
        std::size_t end = line.find_first_of(kSpace, pos);
        if (end == std::string_view::npos) end = line.size();
        words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

}  // namespace

int run_calc_keys(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    try {
        Options options;
        std::size_t first_key = parse_options(args, options);
        if (first_key < args.size()) {
            run_sequence(options, args.subspan(first_key), out);
        } else {
            std::string line;
            while (std::getline(in, line)) {
                std::vector<std::string_view> words = split_words(line);
                run_sequence(options, words, out);
                out << '\n';
            }
        }
        out.flush();
        return out ? 0 : 1;
    } catch (const BadInput& bad) {
        out.flush();
        err << "calc-keys: " << bad.message() << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "calc-keys: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace z5calc
