// SPDX-License-Identifier: MIT
// The random source: uniform single-precision numbers in [0, 1).
#pragma once

#include <cstdint>

namespace vorlane {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void seed(float value) = 0;
  // A uniform draw in [0, 1).
  virtual float next() = 0;
};

// A small, fast generator (xoshiro128+) that maps a seed to a stream.
class Random final : public RandomSource {
 public:
  explicit Random(float seedValue = 0.0F) { seed(seedValue); }
  void seed(float value) override;
  float next() override;

 private:
  std::uint32_t s_[4] = {};
};

}  // namespace vorlane
