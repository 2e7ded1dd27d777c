// SPDX-License-Identifier: MIT
#include "game/colour.h"

namespace vorlane {

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
