// SPDX-License-Identifier: MIT
#include "platform/random.h"

#include <cstring>

namespace vorlane {

namespace {

std::uint64_t splitmix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31U);
}

constexpr std::uint32_t rotl(std::uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

}  // namespace

void Random::seed(float value) {
  // The seed's bits, copied rather than cast: not every standard library
  // this builds with has std::bit_cast yet.
  static_assert(sizeof(float) == sizeof(std::uint32_t));
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  std::uint64_t x = bits;
  for (int k = 0; k < 4; k += 2) {
    const std::uint64_t z = splitmix(x);
    s_[k] = static_cast<std::uint32_t>(z);
    s_[k + 1] = static_cast<std::uint32_t>(z >> 32U);
  }
}

float Random::next() {
  const std::uint32_t result = s_[0] + s_[3];
  const std::uint32_t t = s_[1] << 9U;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = rotl(s_[3], 11);
  // The top 24 bits fill a float's mantissa exactly: [0, 1) with no rounding up to 1.
  return static_cast<float>(result >> 8U) * 0x1.0p-24F;
}

}  // namespace vorlane
