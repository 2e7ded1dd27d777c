// SPDX-License-Identifier: MIT
// The well: its cells and walls, the falling piece's movement and the two
// tests below it, locking, row removal and the counters.
#include <algorithm>

#include "game/caption.h"
#include "window/form1.h"

namespace vorlane {

namespace {

constexpr int kCells = 264;  // 22 rows of 12, numbered from 1

// The whole row a fractional row lies in. Clamped so that a runaway value
// cannot overflow the cell arithmetic; the well has 22 rows.
// Without a call to floorf: inside the clamps every float converts to a
// long long exactly, and truncation is one too high for negative fractions.
long long wholeRow(float row) {
  if (!(row >= -999'999.0F)) return -1'000'000;  // NaN lands here as well
  if (row >= 1'000'001.0F) return 1'000'000;
  const auto whole = static_cast<long long>(row);
  return static_cast<float>(whole) > row ? whole - 1 : whole;
}

}  // namespace

bool Form1::occupied(long long n) const {
  if (n < 0 || n > kCells) return true;  // past the floor or the corner
  return Shape2(static_cast<int>(n)).visible();
}

RectF Form1::wellArea() const {
  const Rectangle& corner = Shape2(1);
  return {corner.left(), corner.top(), 12 * cell, 22 * cell};
}

RectF Form1::busyArea() const {
  if (!loaded()) return {};
  // A new piece comes in from above the window, across the top wall.
  const RectF well = wellArea();
  return {well.left + cell, 0, well.width - 2 * cell, well.bottom() - cell};
}

void Form1::border() {
  int k = 0;
  for (i = 0; i <= 21; ++i) {
    for (j = 0; j <= 11; ++j) {
      ++k;  // k = 12 * i + j + 1, the cell number
      Shape2().load(k);
      Rectangle& c = Shape2(k);
      c.bringToFront();
      c.setTop(static_cast<float>(i) * cell + 50);
      c.setLeft(static_cast<float>(j) * cell + 60);
      if (i == 21 || i == 0 || j == 11 || j == 0) c.setVisible(true);
    }
  }
}

void Form1::drop() {
  py = py + speed;
  landed = false;
  const RectangleArray& falling = Shape1();
  int n = 0;
  for (i = 1; i <= 5; ++i) {
    for (j = 1; j <= 5; ++j) {
      ++n;
      // Hidden before it moves and shown only once placed, so a block never
      // shows half-moved.
      falling(n).setVisible(false);
      rotate();
      if (boxCellFilled()) {
        hold = n;
        display();
      }
    }
  }
}

void Form1::display() {
  const float a = py + static_cast<float>(i);
  const int b = px + j;
  Rectangle& block = Shape1(hold);
  block.setTop(a * cell + 50);
  block.setLeft(static_cast<float>(b) * cell + 50);
  block.setVisible(true);
  // Landing test on the cell below the block's own cell. Own cells in row 0
  // or above the well all look at cell 26, below the first interior cell.
  long long k = 12 * wholeRow(a) + b + 1;
  if (k < 14) k = 14;
  if (occupied(k + 12)) landed = true;
}

void Form1::verified() {
  blocked = 0;
  for (i = 1; i <= 5; ++i) {
    for (j = 1; j <= 5; ++j) {
      rotate();
      const bool filled = boxCellFilled();
      // The cell below the block's own row, in its column; numbers below 0
      // read as the wall corner, 0 as the hidden template (free).
      long long m = 12 * (wholeRow(py) + i + 1) + px + j + 1;
      if (m < 0) m = 1;
      if (filled && occupied(m)) blocked = -1;
    }
  }
}

void Form1::stack() {
  int k = 0;
  const long long base = wholeRow(py + 1) * 12 + px + 2;
  for (i = 0; i <= 4; ++i) {
    for (j = 0; j <= 4; ++j) {
      ++k;
      const long long n = base + 12 * i + j;  // the cell of the block's top edge
      const Rectangle& block = Shape1(k);
      if (!block.visible()) continue;
      if (n < 12) {
        // A block in the top wall row or above it: the game is over.
        Command1().setTop(clientHeight() / 2 - Command1().height() / 2);
        Command1().setLeft(clientWidth() / 2 - Command1().width() / 2);
        Command1().setVisible(true);
        Timer1().setInterval(0);
      }
      // Blocks above the well have no cell to go into.
      if (n < 1 || n > kCells) continue;
      Rectangle& target = Shape2(static_cast<int>(n));
      target.setBackColor(block.backColor());
      target.setFillStyle(block.fillStyle());
      target.setVisible(true);
    }
  }
  checkrow();
  blocks.set(blocks.value() + 1);
  piecelabel().setCaption(Caption("Blocks:", blocks.text()));
  addscore();
}

void Form1::checkrow() {
  const RectangleArray& well = Shape2();
  // Row 1 is never emptied by a removal: it is copied into row 2. When row 1
  // is full, every removal therefore leaves a full copy at the top, and those
  // copies are passed over so the search ends once the rows that were full
  // have gone.
  bool topFull = true;
  for (int c = 2; c <= 11; ++c) topFull = topFull && well(12 + c).visible();
  int copies = 0;

  for (i = 2; i <= 20; ++i) {
    for (j = 2; j <= 11; ++j) {
      if (!well(12 * i + j).visible()) j = 99;
    }
    if (j < 99) {
      hold = i;
      deleterow();  // leaves i at 1: the search starts again from the top
      if (topFull) i += ++copies;
    }
  }
}

void Form1::deleterow() {
  const RectangleArray& well = Shape2();
  for (i = hold; i >= 2; --i) {
    for (j = 2; j <= 11; ++j) {
      const int n = 12 * i + j;
      Rectangle& below = well(n);
      const Rectangle& above = well(n - 12);
      below.setVisible(above.visible());
      below.setFillStyle(above.fillStyle());
      below.setBackColor(above.backColor());
    }
  }
  for (int k = 0; k < 15; ++k) addscore();
  rows.set(rows.value() + 1);
  rowslabel().setCaption(Caption("Rows:", rows.text()));
}

void Form1::addscore() {
  score.set(score.value() + 10);
  scorelabel().setCaption(Caption("Score:", score.text()));
  if (score > hiscore) hiscore = score;
  hscorelabel().setCaption(Caption("HiScore:", hiscore.text()));
}

}  // namespace vorlane
