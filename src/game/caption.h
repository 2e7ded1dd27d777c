// SPDX-License-Identifier: MIT
// A label caption made of a fixed prefix and a counter's digits, built
// without touching the heap since it is rewritten on every score.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace vorlane {

class Caption {
 public:
  Caption(std::string_view prefix, std::string_view digits) {
    prefix = prefix.substr(0, buf_.size());
    digits = digits.substr(0, buf_.size() - prefix.size());
    auto* end = std::copy(prefix.begin(), prefix.end(), buf_.begin());
    end = std::copy(digits.begin(), digits.end(), end);
    size_ = static_cast<std::size_t>(end - buf_.begin());
  }
  operator std::string_view() const { return {buf_.data(), size_}; }  // NOLINT: meant to convert

 private:
  std::array<char, 32> buf_{};
  std::size_t size_ = 0;
};

}  // namespace vorlane
