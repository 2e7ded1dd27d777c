// SPDX-License-Identifier: MIT
// A player that aims: it copies the well's occupancy and tries pieces in it,
// dropped straight down at every rotation and column. Used by the soak test
// and by the program that writes the fuzzer's seeds.
#pragma once

#include <array>

#include "window/form1.h"

namespace vorlane::test {

class Aimer {
 public:
  // Cells by row 0 to 21 and column 0 to 11, walls included.
  using Grid = std::array<std::array<bool, 12>, 22>;

  struct Target {
    int turn = 1;
    int px = 3;
  };

  static Grid wellOf(const Form1& f);

  // Drops `piece` in rotation state `turn` straight down from the top at
  // column offset `px` and marks its blocks in g; false if it cannot rest
  // wholly inside the well there.
  static bool place(const Form1& f, int piece, int turn, int px, Grid& g);

  // The number of full rows.
  static int fullRows(const Grid& g);

  // The top occupied row of interior column c, 21 (the floor) when empty.
  static int columnTop(const Grid& g, int c);
  // The empty cells of column c below its top.
  static int holesIn(const Grid& g, int c);

  // The best rotation and column for the falling piece: full rows first,
  // then few holes, then a low stack.
  static Target choose(const Form1& f);

 private:
  static long score(const Grid& g);
};

}  // namespace vorlane::test
