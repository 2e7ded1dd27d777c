// SPDX-License-Identifier: MIT
// Scoring and the four counters: fixed-width digit texts that wrap, the best
// score compared as text, and the captions that show them.
#include <gtest/gtest.h>

#include "harness.h"

namespace vorlane {
namespace {

TEST(DigitText, KeepsTheValueModuloItsWidthWithLeadingZeros) {
  DigitText<3> rows;
  EXPECT_FALSE(rows.hasValue());
  EXPECT_EQ(rows.text(), "");
  EXPECT_EQ(rows.value(), 0U);
  rows.set(12);
  EXPECT_EQ(rows.text(), "012");
  rows.set(1000);
  EXPECT_EQ(rows.text(), "000");
  rows.set(2345);
  EXPECT_EQ(rows.text(), "345");
  DigitText<3> none;
  EXPECT_TRUE(rows > none);
  EXPECT_FALSE(none > rows);
}

TEST(AddScore, TheFirstLockedPieceScoresTenAndSetsTheBestScore) {
  test::Game g;
  Form1& f = g.form;
  g.place(21, 1, 3, 10);
  f.stack();
  EXPECT_EQ(f.scorelabel().caption(), "Score:000010");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:000010");
  EXPECT_EQ(f.hiscore, "000010");
}

TEST(AddScore, ARemovedRowScoresFifteenCallsBeforeThePieceScoresOne) {
  test::Game g;
  Form1& f = g.form;
  f.score.set(1000);
  f.hiscore.set(1100);
  g.fillRow(20);
  f.stack();
  EXPECT_EQ(f.score, "001160");
  EXPECT_EQ(f.hiscore, "001160");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:001160");
}

TEST(AddScore, TheBestScoreMovesOnlyWhenTheScorePassesIt) {
  test::Game g;
  Form1& f = g.form;
  f.hiscore.set(420);
  f.score.set(400);
  f.addscore();
  EXPECT_EQ(f.score, "000410");
  EXPECT_EQ(f.hiscore, "000420");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:000420");  // written on every call
  f.addscore();
  f.addscore();
  EXPECT_EQ(f.hiscore, "000430");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:000430");
}

TEST(AddScore, AMillionWrapsToZeroWithoutTouchingAnEqualBest) {
  test::Game g;
  Form1& f = g.form;
  f.score.set(999'990);
  f.hiscore.set(999'990);
  f.addscore();
  EXPECT_EQ(f.score, "000000");
  EXPECT_EQ(f.scorelabel().caption(), "Score:000000");
  EXPECT_EQ(f.hiscore, "999990");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:999990");
  f.addscore();
  EXPECT_EQ(f.score, "000010");
  EXPECT_EQ(f.hiscore, "999990");
}

TEST(Counters, TheThousandthRowShowsRowsZero) {
  test::Game g;
  Form1& f = g.form;
  f.rows.set(11);
  f.hold = 20;
  f.deleterow();
  EXPECT_EQ(f.rowslabel().caption(), "Rows:012");
  f.rows.set(999);
  f.deleterow();
  EXPECT_EQ(f.rows, "000");
  EXPECT_EQ(f.rowslabel().caption(), "Rows:000");
}

TEST(Counters, TheTenThousandthPieceShowsBlocksZero) {
  test::Game g;
  Form1& f = g.form;
  for (int n = 1; n <= 7; ++n) f.stack();
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0007");
  f.blocks.set(9'999);
  f.stack();
  EXPECT_EQ(f.blocks, "0000");
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0000");
  EXPECT_EQ(f.score, "000080");
}

TEST(Counters, TheDownKeyScoresNothingWhateverTheSpeed) {
  test::Game g;
  Form1& f = g.form;
  for (float speed : {0.1F, 0.3F, 1.0F}) {
    f.speed = speed;
    f.Form_KeyDown(vk::kDown, 0);
    EXPECT_EQ(f.speed, 1.0F);
    EXPECT_EQ(f.score, "000000");
    EXPECT_EQ(f.scorelabel().caption(), "Score:000000");
  }
}

}  // namespace
}  // namespace vorlane
