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

unsigned colourChannel(float u) {
  // Exact in double: a float times 180 needs at most 32 significant bits.
  const double x = static_cast<double>(u) * 6.0 * 30.0 + 75.0;
  // Whatever rounds to 75 or less, or to 255 or more, is clamped; NaN from a
  // foreign source lands at 75 as well.
  if (!(x >= 75.0)) return 75;
  if (x >= 255.0) return 255;
  auto whole = static_cast<unsigned>(x);  // x is positive: this is its floor
  const double frac = x - static_cast<double>(whole);
  if (frac > 0.5 || (frac == 0.5 && whole % 2 != 0)) ++whole;
  return whole;
}

Colour randomColour(RandomSource& random) {
  const unsigned red = colourChannel(random.next());
  const unsigned green = colourChannel(random.next());
  const unsigned blue = colourChannel(random.next());
  return rgb(red, green, blue);
}

}  // namespace vorlane
