#include <gtest/gtest.h>
#include "harness.h"
using namespace vorlane;
TEST(Smoke, PlaysToGameOver) {
  test::Game g;
  EXPECT_EQ(g.visibleCells(), 64);
  g.scheduler.advanceMs(2000);
  EXPECT_EQ(g.form.Timer2().interval(), 0);
  EXPECT_EQ(g.form.Timer1().interval(), 50);
  int ticks = 0;
  while (!g.form.Command1().visible() && ticks < 100000) { g.scheduler.advanceMs(50); ++ticks; }
  std::printf("ticks %d score %s blocks %s rows %s hi %s\n", ticks, std::string(g.form.score.text()).c_str(), std::string(g.form.blocks.text()).c_str(), std::string(g.form.rows.text()).c_str(), std::string(g.form.hiscore.text()).c_str());
  EXPECT_TRUE(g.form.Command1().visible());
  g.form.Command1().click();
  EXPECT_EQ(g.form.score, "000000");
  EXPECT_EQ(g.visibleCells(), 64);
  EXPECT_EQ(g.form.Timer2().interval(), 1);
}
