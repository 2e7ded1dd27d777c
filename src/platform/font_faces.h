// SPDX-License-Identifier: MIT
// The faces the window's design names, and the free faces that stand in for
// them on every view: the desktop's font packages and the fonts the web page
// ships are the same ones.
#pragma once

#include <array>
#include <cmath>
#include <string_view>

namespace vorlane {

struct FaceSubstitute {
  std::string_view design;
  std::string_view free;
};

// Liberation Serif shares Times New Roman's metrics, so the counter labels
// keep their design widths; the others are the nearest in look.
inline constexpr std::array<FaceSubstitute, 4> kFaceSubstitutes{{
    {"Times New Roman", "Liberation Serif"},
    {"Garamond", "EB Garamond"},
    {"Lucida Sans Unicode", "DejaVu Sans"},
    {"Lucida Handwriting", "Z003"},
}};

// The free face drawn for a design face; an unknown face stands for itself.
constexpr std::string_view freeFace(std::string_view design) {
  for (const FaceSubstitute& s : kFaceSubstitutes) {
    if (s.design == design) return s.free;
  }
  return design;
}

// Points to pixels at the model's 15 twips per pixel (96 per inch), so that
// text keeps its size against the rest of the window whatever the screen's DPI.
inline int fontPixelSize(float points) {
  return static_cast<int>(std::lround(points * 4.0F / 3.0F));
}

}  // namespace vorlane
