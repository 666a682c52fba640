#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace z5calc {

// The headless calculator:
//   calc-keys [--tax-rate R] [--reduced-rate R] [--tax-mode M] [--open VALUE] [KEY...]
// (--reduced-rate: the tax keys use that rate, as after F8).
// Prints "key<TAB>readout<TAB>flags" per key (flags: "b" beeped, then "m" memory mark shown).
// Without keys, each line of `in` is one sequence on a fresh calculator, followed by an empty
// line. Returns the exit status: 0, 2 for bad input (one line on `err`), 1 if output failed.
int run_calc_keys(std::span<const std::string_view> args, std::istream& in, std::ostream& out,
                  std::ostream& err);

}  // namespace z5calc
