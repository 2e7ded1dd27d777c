// SPDX-License-Identifier: MIT
// The well and the falling piece: the grid and its walls, gravity and the
// landing test, the collision test behind every shift and turn, locking, and
// the removal of full rows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "harness.h"

namespace vorlane {
namespace {

using test::cellAt;
using ::testing::ElementsAre;

// A piece of one block, in box cell (1, 1) or (5, 1), written into the slot of piece 24.
void singleBlockTopLeft(Form1& f) {
  test::setPattern(f, 24, {"10000", "00000", "00000", "00000", "00000"});
  f.piece = 24;
  f.turn = 1;
}
void singleBlockBottomLeft(Form1& f) {
  test::setPattern(f, 24, {"00000", "00000", "00000", "00000", "10000"});
  f.piece = 24;
  f.turn = 1;
}

// --- The grid ---------------------------------------------------------------

TEST(Border, ShowsExactlyTheSixtyFourWallCellsCreatedInNumberOrder) {
  test::Game g;
  EXPECT_EQ(g.visibleCells(), 64);
  for (int r = 0; r <= 21; ++r) {
    for (int c = 0; c <= 11; ++c) {
      const Rectangle& cell = g.form.Shape2(12 * r + c + 1);
      EXPECT_EQ(cell.visible(), r == 0 || r == 21 || c == 0 || c == 11) << r << "," << c;
      EXPECT_EQ(cell.top(), static_cast<float>(r * 292 + 50));
      EXPECT_EQ(cell.left(), static_cast<float>(c * 292 + 60));
      EXPECT_EQ(cell.width(), 292.0F);
    }
  }
  // Corners 1, 12, 253 and 264 are walls; 14 (row 1, column 1), 26 below it
  // and 251 (row 20, column 10) are the first and last interior cells.
  for (int n : {1, 12, 253, 264}) EXPECT_TRUE(g.form.Shape2(n).visible()) << n;
  for (int n : {14, 26, 251}) EXPECT_FALSE(g.form.Shape2(n).visible()) << n;
  // Each cell in front of the ones made before it.
  const auto& surface = g.form.surface();
  auto at = [&](int n) { return std::find(surface.begin(), surface.end(), &g.form.Shape2(n)); };
  for (int n = 2; n <= 264; ++n) ASSERT_LT(at(n - 1), at(n)) << n;
  // The bottom-right corner, and the well's width of 12 cells from Left 60.
  EXPECT_EQ(g.form.Shape2(264).top(), 6182.0F);
  EXPECT_EQ(g.form.Shape2(264).left(), 3272.0F);
  EXPECT_EQ(g.form.Shape2(12).left() + g.form.cell - g.form.Shape2(1).left(), 3504.0F);
}

TEST(Border, LeavesTheSharedCountersPastTheEndOfItsLoops) {
  test::ScriptedRandom random;
  Scheduler scheduler;
  test::TestForm f(scheduler, random, {.runStartup = false});
  f.show();
  f.cell = 292;
  f.border();
  EXPECT_EQ(f.i, 22);
  EXPECT_EQ(f.j, 12);
  EXPECT_EQ(f.Shape2().count(), 265);
}

// --- Gravity and the landing test -------------------------------------------

TEST(Drop, AdvancesPyInSinglePrecision) {
  test::Game g;
  Form1& f = g.form;
  f.piece = 0;
  f.py = -4;
  f.speed = 0.1F;
  float expected = -4;
  // The values single precision gives, to the digits shown.
  const std::vector<std::tuple<int, double, double>> pinned = {{1, -3.9000001, 5e-8},
                                                               {10, -3.0000010, 5e-8},
                                                               {40, -0.0000016, 5e-8},
                                                               {41, 0.0999984, 5e-8},
                                                               {140, 10.000001, 5e-7}};
  auto next = pinned.begin();
  for (int n = 1; n <= 140; ++n) {
    f.drop();
    expected += 0.1F;
    ASSERT_EQ(f.py, expected) << "step " << n;
    if (n == std::get<0>(*next)) {
      EXPECT_NEAR(f.py, std::get<1>(*next), std::get<2>(*next)) << "step " << n;
      if (n == 10) {
        EXPECT_EQ(std::floor(f.py), -4.0F) << "the own rows have not moved yet";
      }
      ++next;
    }
  }
}

TEST(Drop, AnUprightBarLandsOnTheEmptyFloorAtTheHundredAndNinetiethStep) {
  test::Game g;
  Form1& f = g.form;
  f.piece = 1;
  f.turn = 1;
  f.px = 3;
  f.py = -4;
  f.speed = 0.1F;
  // Adding 0.1 in double precision would reach 15 only at step 191.
  EXPECT_EQ(g.dropUntilLanded(), 190);
  EXPECT_EQ(std::floor(f.py), 15.0F);
}

TEST(Drop, DrawsOnlyTheFilledBoxCellsAtTheirPlace) {
  test::Game g;
  Form1& f = g.form;
  g.place(1, 1, 3, 5.5F);
  g.place(2, 1, 3, 5.5F);  // every block is hidden before the new ones are shown
  EXPECT_THAT(g.shownBlocks(), ElementsAre(11, 12, 13, 14, 15));
  // Box row 3 at row 8.5; columns 4 to 8, 10 twips left of the well's cells.
  for (int k = 11; k <= 15; ++k) {
    EXPECT_EQ(f.Shape1(k).top(), 8.5F * 292 + 50);
    EXPECT_EQ(f.Shape1(k).left(), static_cast<float>((3 + k - 10) * 292 + 50));
    EXPECT_EQ(f.Shape1(k).left(), f.Shape2(cellAt(8, 3 + k - 10)).left() - 10);
  }
  EXPECT_EQ(f.i, 6);
  EXPECT_EQ(f.j, 6);

  f.landed = true;
  g.place(0, 1, 3, 5.5F);
  EXPECT_TRUE(g.shownBlocks().empty());
  EXPECT_FALSE(f.landed) << "every gravity step starts with landed false";
}

// (occupied row below the block's own row 6, whether the block lands / is blocked)
class BelowTheBlock : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(BelowTheBlock, BothTestsLookAtTheRowBelowTheOwnRowOnly) {
  const auto [row, expected] = GetParam();
  test::Game g;
  Form1& f = g.form;
  singleBlockTopLeft(f);
  g.setCell(row, 4);
  g.place(24, 1, 3, 5.5F);  // drawn at row 6.5, own row 6, column 4
  EXPECT_EQ(f.Shape1(1).top(), 6.5F * 292 + 50);
  EXPECT_EQ(f.landed, expected);
  f.verified();
  EXPECT_EQ(f.blocked, expected ? -1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, BelowTheBlock,
                         ::testing::Values(std::tuple{6, false}, std::tuple{7, true},
                                           std::tuple{8, false}));

TEST(Drop, BlocksInRowZeroOrAboveLookAtCellTwentySixAlone) {
  test::Game g;
  Form1& f = g.form;
  g.fillRow(1);          // directly below the bar, yet not looked at
  g.place(2, 1, 3, -3);  // the lying bar in row 0
  EXPECT_FALSE(f.landed);
  g.place(2, 1, 3, -5);  // and above the well
  EXPECT_FALSE(f.landed);
  g.fillRow(1, false);
  g.setCell(2, 1);  // cell 26
  g.place(2, 1, 3, -5);
  EXPECT_TRUE(f.landed);
  g.place(2, 1, 3, -2);  // in row 1 it looks below itself again
  EXPECT_FALSE(f.landed);
}

// --- The collision test, through the keys -----------------------------------

TEST(Collision, ANewPieceCannotShiftOrTurnUntilItsBlocksReachRowZero) {
  test::Game g;
  Form1& f = g.form;
  for (int p = 1; p <= 24; ++p) {
    for (std::uint16_t key : {vk::kLeft, vk::kRight, vk::kA, vk::kS}) {
      g.place(p, 1, 3, -4);
      f.Form_KeyDown(key, 0);
      EXPECT_EQ(f.px, 3) << "piece " << p << " key " << key;
      EXPECT_EQ(f.turn, 1) << "piece " << p << " key " << key;
    }
  }
  // The lying bar's blocks reach row 0 at the eleventh gravity step, not the tenth.
  g.place(2, 1, 3, -4);
  f.speed = 0.1F;
  for (int n = 0; n < 10; ++n) f.drop();
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 3);
  f.drop();
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 2);
}

TEST(Collision, ANegativeCellBelowReadsAsTheCornerAndCellZeroAsFree) {
  test::Game g;
  Form1& f = g.form;
  singleBlockTopLeft(f);
  f.py = -3;  // own row -2, the cell below in row -1
  f.px = 10;  // column 11: 12 * -1 + 11 + 1 = 0, the hidden template
  f.verified();
  EXPECT_EQ(f.blocked, 0);
  f.px = 9;  // column 10: -1 reads as cell 1
  f.verified();
  EXPECT_EQ(f.blocked, -1);
}

TEST(Collision, ShiftsIntoTheWallColumnsAreRefused) {
  test::Game g;
  Form1& f = g.form;
  g.place(1, 1, -2, 5);  // the upright bar in column 1
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, -2);
  f.Form_KeyDown(vk::kRight, 0);
  EXPECT_EQ(f.px, -1);
  f.px = 7;  // column 10
  f.Form_KeyDown(vk::kRight, 0);
  EXPECT_EQ(f.px, 7);
}

TEST(Collision, AShiftBesideAnOverhangLooksOnlyBelowTheMovedBlocks) {
  test::Game g;
  Form1& f = g.form;
  g.place(2, 1, 1, 7);  // the lying bar in row 10, columns 2 to 6
  g.setCell(10, 1);
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 0) << "allowed although a block now covers (10, 1)";
  f.px = 1;
  g.setCell(10, 1, false);
  g.setCell(11, 1);
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 1);
}

TEST(Collision, BelowTheFloorCountsAsOccupiedForBlocksAndAsNothingForEmptyCells) {
  test::Game g;
  Form1& f = g.form;
  // The lying bar one row above the floor: its empty box rows reach rows 20
  // and 21, below which lie cell numbers past 264.
  g.place(2, 1, 3, 16);
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 2);
  f.Form_KeyDown(vk::kRight, 0);
  EXPECT_EQ(f.px, 3);
  // Turning it upright would put blocks into rows 20 and 21.
  f.Form_KeyDown(vk::kA, 0);
  EXPECT_EQ(f.turn, 1);
  f.Form_KeyDown(vk::kS, 0);
  EXPECT_EQ(f.turn, 1);
  // A single block in row 21 or below has no cell below it at all.
  singleBlockBottomLeft(f);
  f.px = 0;
  for (float py : {16.0F, 17.0F, 40.0F}) {
    f.py = py;
    f.verified();
    EXPECT_EQ(f.blocked, -1) << py;
  }
  f.py = 14;  // row 19: free below
  f.verified();
  EXPECT_EQ(f.blocked, 0);
}

TEST(Collision, TurnsWrapAroundAndARefusedTurnKeepsTheState) {
  test::Game g;
  Form1& f = g.form;
  g.place(17, 4, 3, 8);
  f.Form_KeyDown(vk::kA, 0);
  EXPECT_EQ(f.turn, 1);
  f.Form_KeyDown(vk::kS, 0);
  EXPECT_EQ(f.turn, 4);
  g.fillRow(12);  // under the upper blocks of the T turned stem up
  g.fillRow(11);
  f.Form_KeyDown(vk::kS, 0);
  EXPECT_EQ(f.turn, 4);
  EXPECT_EQ(f.hold, 4);
  EXPECT_EQ(f.blocked, -1);
}

// Whatever the record holds, the routines stay inside the well's arrays.
TEST(Collision, NoRecordValueReachesPastTheArrays) {
  test::Game g;
  Form1& f = g.form;
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (int px : {-1000, -40, -9, -3, 0, 4, 8, 11, 20, 1000}) {
    for (float py :
         {-inf, -1e9F, -60.0F, -4.5F, -0.5F, 9.99F, 19.0F, 21.5F, 60.0F, 1e9F, inf, nan}) {
      for (int turn : {-1, 0, 1, 2, 3, 4, 5}) {
        for (int piece : {-1, 0, 1, 2, 13, 24, 25}) {
          f.piece = piece;
          f.turn = turn;
          f.px = px;
          f.py = py;
          f.speed = 0;
          ASSERT_NO_THROW(f.verified());
          ASSERT_NO_THROW(f.drop());
          ASSERT_NO_THROW(f.stack());
        }
      }
    }
  }
  for (int r = 0; r <= 21; ++r) {
    EXPECT_TRUE(g.cellVisible(r, 0));
    EXPECT_TRUE(g.cellVisible(r, 11));
  }
}

// --- Locking ----------------------------------------------------------------

TEST(Stack, CopiesEachShownBlockIntoTheCellOfItsTopEdge) {
  test::Game g;
  Form1& f = g.form;
  g.place(9, 1, 2, 10.5F);  // the F across rows 12 to 15; blocks lock into 12 to 14
  for (int k = 1; k <= 25; ++k) {
    f.Shape1(k).setBackColor(rgb(static_cast<unsigned>(k), 100, 200));
    f.Shape1(k).setFillStyle(k % 2 == 0 ? 6 : 7);
  }
  f.stack();

  std::vector<std::string> expected(20, "..........");
  expected[11] = "....##....";  // row 12
  expected[12] = "...##.....";
  expected[13] = "....#.....";
  EXPECT_EQ(g.interior(), expected);
  EXPECT_EQ(g.visibleCells(), 69);
  // Block (2, 3) is element 8, block (3, 2) element 12.
  EXPECT_EQ(f.Shape2(cellAt(12, 5)).backColor(), rgb(8, 100, 200));
  EXPECT_EQ(f.Shape2(cellAt(12, 5)).fillStyle(), 6);
  EXPECT_EQ(f.Shape2(cellAt(13, 4)).backColor(), rgb(12, 100, 200));
  EXPECT_EQ(f.Shape2(cellAt(14, 5)).backColor(), rgb(18, 100, 200));
  EXPECT_EQ(f.Shape2(cellAt(14, 5)).fillStyle(), 6);
  EXPECT_EQ(f.Shape2(cellAt(13, 5)).fillStyle(), 7);
  EXPECT_EQ(f.blocks, "0001");
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0001");
  EXPECT_EQ(f.score, "000010");
  EXPECT_FALSE(f.Command1().visible());
  // The falling blocks stay as they were; the spawn hides them.
  EXPECT_EQ(g.shownBlocks().size(), 5U);
}

TEST(Stack, ABlockInTheTopWallRowEndsTheGameYetTheLockRunsToItsEnd) {
  test::Game g;
  Form1& f = g.form;
  f.Timer1().setInterval(50);
  g.fillRow(20);
  g.place(2, 1, 2, -3);  // the lying bar in row 0, columns 3 to 7
  f.Shape1(13).setBackColor(rgb(1, 2, 3));
  f.stack();

  EXPECT_TRUE(f.Command1().visible());
  EXPECT_EQ(f.Command1().top(), 6484.0F / 2 - 2175.0F / 2);
  EXPECT_EQ(f.Command1().left(), 6304.0F / 2 - 2655.0F / 2);
  EXPECT_EQ(f.Timer1().interval(), 0);
  EXPECT_EQ(f.Shape2(cellAt(0, 5)).backColor(), rgb(1, 2, 3));
  EXPECT_EQ(f.Shape2(cellAt(0, 5)).fillStyle(), 1);  // the block template's, not the wall's 7
  EXPECT_EQ(f.rows, "001");
  EXPECT_EQ(f.blocks, "0001");
  EXPECT_EQ(f.score, "000160");
  EXPECT_EQ(g.visibleCells(), 64);
}

TEST(Stack, BlocksAboveTheWellAreLeftOutAndTheRestIsLocked) {
  test::Game g;
  Form1& f = g.form;
  g.place(1, 1, 3, -4);  // the upright bar in rows -3 to 1, column 6
  f.Shape1(23).setBackColor(rgb(7, 7, 7));
  f.stack();
  EXPECT_TRUE(f.Command1().visible());
  EXPECT_TRUE(g.cellVisible(1, 6));
  EXPECT_EQ(f.Shape2(cellAt(1, 6)).backColor(), rgb(7, 7, 7));
  EXPECT_EQ(g.visibleCells(), 65);
  EXPECT_EQ(f.blocks, "0001");
  EXPECT_EQ(f.score, "000010");
}

// --- Removing full rows -----------------------------------------------------

TEST(RowClearing, AFullBottomRowTakesTheRowsAboveDownByOne) {
  test::Game g;
  Form1& f = g.form;
  for (int c = 6; c <= 10; ++c) g.setCell(20, c);
  g.setCell(19, 1);
  g.setCell(19, 3);
  f.Shape2(cellAt(19, 3)).setBackColor(rgb(9, 8, 7));
  f.Shape2(cellAt(19, 3)).setFillStyle(6);
  g.setCell(1, 2);
  g.setCell(1, 9);
  g.place(2, 1, 0, 17);  // the lying bar completes row 20
  f.stack();

  std::vector<std::string> expected(20, "..........");
  expected[0] = ".#......#.";  // row 1 keeps its content
  expected[1] = ".#......#.";  // and row 2 shows a copy of it
  expected[19] = "#.#.......";
  EXPECT_EQ(g.interior(), expected);
  EXPECT_EQ(f.Shape2(cellAt(20, 3)).backColor(), rgb(9, 8, 7));
  EXPECT_EQ(f.Shape2(cellAt(20, 3)).fillStyle(), 6);
  EXPECT_EQ(f.rows, "001");
  EXPECT_EQ(f.rowslabel().caption(), "Rows:001");
  EXPECT_EQ(f.blocks, "0001");
  EXPECT_EQ(f.score, "000160");
}

TEST(RowClearing, TwoFullRowsApartBothGoInOneLock) {
  test::Game g;
  Form1& f = g.form;
  g.fillRow(15);
  g.fillRow(20);
  g.place(21, 1, 2, 5);  // the X in rows 7 to 9
  f.stack();
  std::vector<std::string> expected(20, "..........");
  expected[8] = "....#.....";  // two rows lower
  expected[9] = "...###....";
  expected[10] = "....#.....";
  EXPECT_EQ(g.interior(), expected);
  EXPECT_EQ(f.rows, "002");
  EXPECT_EQ(f.score, "000310");
}

TEST(RowClearing, ARowWithNineOfTenCellsStays) {
  test::Game g;
  Form1& f = g.form;
  g.fillRow(20);
  g.setCell(20, 7, false);
  f.stack();
  EXPECT_EQ(g.interior()[19], "######.###");
  EXPECT_EQ(f.rows, "000");
  EXPECT_EQ(f.score, "000010");
}

TEST(RowClearing, AFullRowOneAloneIsNeverRemoved) {
  test::Game g;
  Form1& f = g.form;
  g.fillRow(1);
  f.stack();
  EXPECT_EQ(g.interior()[0], "##########");
  EXPECT_EQ(g.interior()[1], "..........");
  EXPECT_EQ(f.rows, "000");
  EXPECT_EQ(f.score, "000010");
}

// Rows full besides a full row 1, and the rows removed from them.
class FullRowOne : public ::testing::TestWithParam<std::vector<int>> {};

TEST_P(FullRowOne, TheSearchEndsAndEachFullRowCountsOnce) {
  const std::vector<int>& full = GetParam();
  test::Game g;
  Form1& f = g.form;
  g.fillRow(1);
  for (int r : full) g.fillRow(r);
  g.setCell(10, 4);  // a marker that every removal below it moves down
  f.stack();
  const int removed = static_cast<int>(full.size());
  EXPECT_EQ(f.rows.value(), static_cast<unsigned>(removed));
  EXPECT_EQ(f.score.value(), static_cast<unsigned>(150 * removed + 10));
  int below = 0;
  for (int r : full) below += r > 10 ? 1 : 0;
  EXPECT_TRUE(g.cellVisible(10 + below, 4));
  // Row 1 and one copy of it per removal stand full at the top.
  for (int r = 1; r <= 1 + removed; ++r) EXPECT_EQ(g.interior()[r - 1], "##########") << r;
  EXPECT_NE(g.interior()[1 + removed], "##########");
}

INSTANTIATE_TEST_SUITE_P(Rows, FullRowOne,
                         ::testing::Values(std::vector<int>{20}, std::vector<int>{2},
                                           std::vector<int>{2, 20}, std::vector<int>{5, 6, 20},
                                           std::vector<int>{2, 3, 4, 12, 19, 20}));

TEST(RowClearing, DeleterowMovesEverythingAboveDownAndLeavesTheCountersAtOneAndTwelve) {
  test::Game g;
  Form1& f = g.form;
  g.setCell(4, 2);
  g.fillRow(5);
  f.hold = 5;
  f.deleterow();
  EXPECT_EQ(f.i, 1);  // so checkrow's next step starts at row 2 again
  EXPECT_EQ(f.j, 12);
  EXPECT_TRUE(g.cellVisible(5, 2));
  EXPECT_EQ(g.interior()[4], ".#........");
  EXPECT_EQ(f.score, "000150");

  g.fillRow(9);
  f.checkrow();
  EXPECT_EQ(f.i, 21);
  EXPECT_EQ(f.hold, 9);
  EXPECT_EQ(f.rows, "002");
}

// --- Pieces dropped and locked, one after another --------------------------

TEST(EndToEnd, DroppedPiecesLockFillTheBottomRowAndClearIt) {
  test::Game g;
  Form1& f = g.form;
  const auto fall = [&](int piece, int turn, int px, float speed) {
    f.piece = piece;
    f.turn = turn;
    f.px = px;
    f.py = -4;
    f.speed = speed;
    const int steps = g.dropUntilLanded();
    f.stack();
    return steps;
  };
  std::vector<std::string> well(20, "..........");

  EXPECT_EQ(fall(2, 1, 0, 0.1F), 210);  // the lying bar reaches row 20
  well[19] = "#####.....";
  EXPECT_EQ(g.interior(), well);

  EXPECT_EQ(fall(1, 1, -2, 0.1F), 180);  // upright in column 1, on the bar
  for (int r = 15; r <= 19; ++r) well[r - 1] = "#.........";
  EXPECT_EQ(g.interior(), well);
  EXPECT_EQ(f.score, "000020");

  EXPECT_EQ(fall(2, 1, 5, 0.1F), 210);  // completes row 20, which goes
  well = std::vector<std::string>(20, "..........");
  for (int r = 16; r <= 20; ++r) well[r - 1] = "#.........";
  EXPECT_EQ(g.interior(), well);
  EXPECT_EQ(f.rows, "001");
  EXPECT_EQ(f.blocks, "0003");
  EXPECT_EQ(f.score, "000180");

  EXPECT_EQ(fall(3, 2, 5, 1), 21);  // the P turned, falling fast, at the right
  well[18] = "#.....###.";
  well[19] = "#......##.";
  EXPECT_EQ(g.interior(), well);
  EXPECT_EQ(f.rows, "001");
  EXPECT_EQ(f.blocks, "0004");
  EXPECT_EQ(f.scorelabel().caption(), "Score:000190");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:000190");
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0004");
  EXPECT_EQ(f.rowslabel().caption(), "Rows:001");
  EXPECT_EQ(g.visibleCells(), 64 + 5 + 5);
}

TEST(Well, ItsAreaSpansTheWallCellsFromCornerToCorner) {
  test::Game g;
  const Form1& f = g.form;
  const RectF well = f.wellArea();
  const Rectangle& last = f.Shape2(12 * 21 + 11 + 1);
  EXPECT_EQ(well.left, f.Shape2(1).left());
  EXPECT_EQ(well.top, f.Shape2(1).top());
  EXPECT_EQ(well.right(), last.left() + f.cell);
  EXPECT_EQ(well.bottom(), last.top() + f.cell);
}

}  // namespace
}  // namespace vorlane
