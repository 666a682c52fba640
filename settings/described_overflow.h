#pragma once

#include <stdexcept>
#include <string>

namespace z5calc {

// A number beyond what it must fit, with what overflowed and where. Hosts see it as the
// automation error 6, "Overflow", with this description.
class DescribedOverflow : public std::overflow_error {
  public:
    explicit DescribedOverflow(std::wstring description)
        : std::overflow_error("Overflow"), description_(std::move(description)) {}
    const std::wstring& description() const noexcept { return description_; }

  private:
    std::wstring description_;
};

}  // namespace z5calc
