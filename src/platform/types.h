// SPDX-License-Identifier: MIT
// Basic value types of the control model: twips, colours, fonts, rectangles.
#pragma once

#include <cstdint>
#include <string>

namespace vorlane {

// Positions and sizes are single-precision twips (1/1440 inch).
using Twips = float;

// The view draws 15 twips to a logical pixel.
inline constexpr Twips kTwipsPerPixel = 15.0F;

// 24-bit colour, red in the low byte: red + 256 * green + 65536 * blue.
using Colour = std::uint32_t;

constexpr Colour rgb(unsigned red, unsigned green, unsigned blue) {
  return (red & 0xFFU) | ((green & 0xFFU) << 8U) | ((blue & 0xFFU) << 16U);
}
constexpr unsigned redOf(Colour c) { return c & 0xFFU; }
constexpr unsigned greenOf(Colour c) { return (c >> 8U) & 0xFFU; }
constexpr unsigned blueOf(Colour c) { return (c >> 16U) & 0xFFU; }

struct Font {
  std::string face;
  float points = 0;
  bool bold = false;
  bool italic = false;
};

struct RectF {
  Twips left = 0;
  Twips top = 0;
  Twips width = 0;
  Twips height = 0;

  Twips right() const { return left + width; }
  Twips bottom() const { return top + height; }
  bool intersects(const RectF& o) const {
    return left < o.right() && o.left < right() && top < o.bottom() && o.top < bottom();
  }
};

struct SizeF {
  Twips width = 0;
  Twips height = 0;
};

}  // namespace vorlane
