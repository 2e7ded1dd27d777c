// SPDX-License-Identifier: MIT
// The random source: uniform single-precision numbers in [0, 1).
#pragma once

#include <cstdint>

#include "platform/types.h"

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

// u * 6 * 30 + 75 rounded to the nearest whole number, halves to even: 75 to 255.
unsigned colourChannel(float u);

// Three successive draws give red, green and blue.
Colour randomColour(RandomSource& random);

}  // namespace vorlane
