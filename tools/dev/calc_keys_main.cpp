#include <iostream>
#include <string_view>
#include <vector>

#include "calc_keys.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string_view> args(argv + 1, argv + argc);
    return z5calc::run_calc_keys(args, std::cin, std::cout, std::cerr);
}
