// A version resource as a file gives it: any bytes, any length; the reader never reads beyond
// them and finds a version only where its fixed block is whole.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_oracles.h"
#include "version_text.h"

using namespace z5calc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so that the address sanitizer sees any read beyond.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const auto version = fixed_file_version(bytes.data(), bytes.size());
    if (version) fuzz::require(size >= 92, "a version needs its header and a whole fixed block");
    return 0;
}
