// SPDX-License-Identifier: MIT
// The piece catalogue and the next-piece preview; the rotation rule is in
// form1.h.
#include <string_view>

#include "game/colour.h"
#include "window/form1.h"

namespace vorlane {

namespace {

// Rows 1 to 5 of pieces 1 to 24, top row first; position 1 is the leftmost column.
constexpr std::string_view kPatterns[24][5] = {
    {"00100", "00100", "00100", "00100", "00100"},  // 1  I, upright
    {"00000", "00000", "11111", "00000", "00000"},  // 2  I, lying
    {"00000", "01100", "01100", "01000", "00000"},  // 3  P
    {"00000", "00110", "00110", "00010", "00000"},  // 4  P, mirrored
    {"00000", "01000", "01000", "01110", "00000"},  // 5  V
    {"00000", "01110", "00010", "00010", "00000"},  // 6  V, half turn
    {"00000", "01000", "01100", "00110", "00000"},  // 7  W
    {"00000", "01100", "00110", "00010", "00000"},  // 8  W, half turn
    {"00000", "00110", "01100", "00100", "00000"},  // 9  F
    {"00000", "01100", "00110", "00100", "00000"},  // 10 F, mirrored
    {"00000", "00100", "00100", "00100", "01100"},  // 11 L
    {"00000", "00100", "00100", "00100", "00110"},  // 12 L, mirrored
    {"00000", "00100", "00100", "01100", "01000"},  // 13 N
    {"00000", "00100", "00100", "00110", "00010"},  // 14 N, mirrored
    {"00000", "00110", "00100", "01100", "00000"},  // 15 Z
    {"00000", "01100", "00100", "00110", "00000"},  // 16 Z, mirrored
    {"00000", "01110", "00100", "00100", "00000"},  // 17 T
    {"00000", "00100", "00100", "01110", "00000"},  // 18 T, half turn
    {"00000", "00000", "01010", "01110", "00000"},  // 19 U
    {"00000", "01110", "01010", "00000", "00000"},  // 20 U, half turn
    {"00000", "00100", "01110", "00100", "00000"},  // 21 X
    {"00000", "00100", "01110", "00100", "00000"},  // 22 X again
    {"00000", "00100", "00110", "00100", "00100"},  // 23 Y
    {"00000", "00100", "01100", "00100", "00100"},  // 24 Y, mirrored
};

}  // namespace

void Form1::loadpatterns() {
  for (int p = 1; p <= 24; ++p) {
    for (int r = 1; r <= 5; ++r) shapes[p][r] = kPatterns[p - 1][r - 1];
  }
}

bool Form1::filledAt(int pieceNumber, int rotation, int boxRow, int boxColumn) const {
  int row = 0;
  int position = 0;
  selectPatternCell(rotation, boxRow, boxColumn, row, position);
  return patternChar(pieceNumber, row, position) == '1';
}

void Form1::nextdisplay() {
  Shape3(0).setWidth(backdrop().width() / 5);
  Shape3(0).setHeight(backdrop().height() / 5);
  for (i = 1; i <= 25; ++i) Shape3().load(i);
}

void Form1::shownext() {
  const float w = backdrop().width() / 5;
  const float h = backdrop().height() / 5;
  int k = 0;
  for (i = 0; i <= 4; ++i) {
    for (j = 0; j <= 4; ++j) {
      ++k;
      // Read as stored: every piece spawns in its first rotation state.
      const char ch = patternChar(nextpiece, i + 1, j + 1);
      Rectangle& block = Shape3(k);
      if (ch == '1') {
        block.setLeft(backdrop().left() + static_cast<float>(j) * w);
        block.setTop(backdrop().top() + static_cast<float>(i) * h);
        block.bringToFront();
        block.setFillStyle(6);
        block.setBackColor(randomColour(random_));
        block.setVisible(true);
      } else if (ch == '0') {
        block.setVisible(false);
      }
    }
  }
}

}  // namespace vorlane
