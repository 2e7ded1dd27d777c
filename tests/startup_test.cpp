// SPDX-License-Identifier: MIT
// Start-up: the cell size and the window's size, the block rectangles, the
// counters, the seed, the side panel, the preview grid and the closed curtain.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

TEST(Startup, SizesEverythingFromOneCellOfTheClientWidth) {
  test::Game g;
  const Form1& f = g.form;
  EXPECT_EQ(f.cell, 292.0F);
  EXPECT_EQ(f.width(), 6424.0F);   // 22 cells
  EXPECT_EQ(f.height(), 6874.0F);  // 22 cells + 450
  for (const Rectangle* r : {&f.Shape1(0), &f.Shape2(0)}) {
    EXPECT_EQ(r->width(), 292.0F);
    EXPECT_EQ(r->height(), 292.0F);
  }
  // The well, walls included, fits the client area that the frame leaves.
  EXPECT_LE(f.Shape2(264).left() + f.cell, f.clientWidth());
  EXPECT_LE(f.Shape2(264).top() + f.cell, f.clientHeight());
  // The shared counters as the last loops left them.
  EXPECT_EQ(f.i, 26);  // the preview's 25 elements
  EXPECT_EQ(f.j, 12);  // the well's columns 0 to 11
}

class CellFromClientWidth : public ::testing::TestWithParam<int> {};

TEST_P(CellFromClientWidth, IsTheWidthOverTwentyRoundedDown) {
  test::ScriptedRandom random;
  const int width = GetParam();
  test::Game g(random, {.clientWidth = static_cast<Twips>(width)});
  const float expected = width < 5840 ? 291.0F : width < 5860 ? 292.0F : 293.0F;
  EXPECT_EQ(g.form.cell, expected);
  EXPECT_EQ(g.form.width(), 22 * expected);
  EXPECT_EQ(g.form.height(), 22 * expected + 450);
}

INSTANTIATE_TEST_SUITE_P(AroundTheDesignWidth, CellFromClientWidth, ::testing::Range(5839, 5861));

TEST(Startup, CreatesTheTwentyFiveHiddenBlocksOfTheFallingPiece) {
  test::Game g;
  EXPECT_EQ(g.form.Shape1().count(), 26);
  for (int k = 1; k <= 25; ++k) {
    SCOPED_TRACE(k);
    const Rectangle& b = g.form.Shape1(k);
    EXPECT_FALSE(b.visible());
    EXPECT_EQ(b.width(), 292.0F);
    EXPECT_EQ(b.height(), 292.0F);
    EXPECT_EQ(b.backColor(), rgb(0, 0, 192));  // the template's look until the first spawn
    EXPECT_EQ(b.fillStyle(), 1);
  }
}

TEST(Startup, ResetsCountersAndShowsAZeroBestScoreAtTheFirstStart) {
  test::ScriptedRandom random;
  test::Game g(random);
  const Form1& f = g.form;
  EXPECT_EQ(f.score, "000000");
  EXPECT_EQ(f.rows, "000");
  EXPECT_EQ(f.blocks, "0000");
  EXPECT_FALSE(f.hiscore.hasValue());
  EXPECT_EQ(f.piece, 0);
  EXPECT_EQ(f.turn, 0);
  EXPECT_EQ(f.scorelabel().caption(), "Score:000000");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:000000");
  EXPECT_EQ(f.rowslabel().caption(), "Rows:000");
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0000");
  // Seeded from the time of day, and nothing drawn before play.
  EXPECT_THAT(random.seeds, ElementsAre(test::kNoon));
  EXPECT_EQ(random.count, 0U);
  // The intro is armed, gravity stopped.
  EXPECT_TRUE(g.form.Timer2().enabled());
  EXPECT_EQ(g.form.Timer2().interval(), 2);
  EXPECT_EQ(g.form.Timer1().interval(), 0);
  EXPECT_EQ(g.form.Timer3().interval(), 200);
  EXPECT_TRUE(g.form.Timer3().enabled());
}

TEST(Startup, CentresTheSidePanelOnTheLineSeventeenCellsFromTheLeft) {
  test::Game g;
  const Form1& f = g.form;
  // X = 17 * 292 = 4964; headless, the labels keep their design widths.
  EXPECT_EQ(f.backdrop().width(), 1575.0F);
  EXPECT_EQ(f.backdrop().left(), 4176.5F);
  EXPECT_EQ(f.npiece().left(), 4176.5F);
  EXPECT_EQ(f.scorelabel().left(), 4034.0F);
  EXPECT_EQ(f.hscorelabel().left(), 3876.5F);
  EXPECT_EQ(f.rowslabel().left(), 4296.5F);
  EXPECT_EQ(f.piecelabel().left(), 4131.5F);
  // Tops and heights are never scaled.
  EXPECT_EQ(f.npiece().top(), 120.0F);
  EXPECT_EQ(f.backdrop().top(), 1440.0F);
  EXPECT_EQ(f.scorelabel().top(), 3120.0F);
  EXPECT_EQ(f.hscorelabel().top(), 3720.0F);
  EXPECT_EQ(f.rowslabel().top(), 4320.0F);
  EXPECT_EQ(f.piecelabel().top(), 4920.0F);
}

TEST(Startup, CentresLabelsByTheWidthTheirCaptionsTakeWhereTextIsMeasured) {
  test::PerCharacterMetrics metrics;
  test::ScriptedRandom random;
  Scheduler scheduler;
  test::TestForm form(scheduler, random, {});
  form.setTextMetrics(&metrics);
  form.show();
  EXPECT_EQ(form.scorelabel().left(), 4964.0F - 600);   // "Score:000000"
  EXPECT_EQ(form.hscorelabel().left(), 4964.0F - 700);  // "HiScore:000000"
  EXPECT_EQ(form.rowslabel().left(), 4964.0F - 400);    // "Rows:000"
  EXPECT_EQ(form.piecelabel().left(), 4964.0F - 550);   // "Blocks:0000"
}

TEST(Startup, BuildsAHiddenPreviewGridOfFifthsOfTheBackdrop) {
  test::Game g;
  const Form1& f = g.form;
  EXPECT_EQ(f.Shape3().count(), 26);
  EXPECT_EQ(f.Shape3(0).width(), 315.0F);
  EXPECT_EQ(f.Shape3(0).height(), 315.0F);
  EXPECT_FALSE(f.Shape3(0).visible());
  for (int k = 1; k <= 25; ++k) {
    SCOPED_TRACE(k);
    EXPECT_FALSE(f.Shape3(k).visible());
    EXPECT_EQ(f.Shape3(k).width(), 315.0F);
    EXPECT_EQ(f.Shape3(k).backColor(), rgb(0, 255, 0));
  }
}

TEST(Startup, ClosesTheCurtainOverTheWholeWindowInFrontOfEverything) {
  test::Game g;
  const Form1& f = g.form;
  EXPECT_EQ(f.covertop().top(), -3437.0F);
  EXPECT_EQ(f.coverbottom().top(), 3437.0F);
  for (const Panel* p : {&f.covertop(), &f.coverbottom()}) {
    EXPECT_TRUE(p->visible());
    EXPECT_EQ(p->left(), 0.0F);
    EXPECT_EQ(p->width(), 6424.0F);
    EXPECT_EQ(p->height(), 6874.0F);
  }
  for (const Rectangle* r : {&f.cot(), &f.cob()}) {
    EXPECT_EQ(r->width(), 6424.0F);
    EXPECT_EQ(r->height(), 6874.0F);
  }
  EXPECT_THAT(f.widgets(), ElementsAre(&f.Pause(), &f.Command1(), &f.covertop(), &f.coverbottom()));
}

TEST(Startup, ReloadRunsStartupAgainOnTheSameRecord) {
  test::ScriptedRandom random;
  test::Game g(random);
  Form1& f = g.form;
  g.finishIntro();
  f.px = 5;
  f.py = 7.5F;
  f.speed = 1;
  f.score.set(300);
  f.hiscore.set(420);
  f.rows.set(7);
  f.blocks.set(12);
  f.piece = 9;
  f.turn = 3;
  const int next = f.nextpiece;
  f.Command1().setVisible(true);
  f.Pause().setVisible(true);

  f.Command1().click();

  EXPECT_EQ(f.score, "000000");
  EXPECT_EQ(f.rows, "000");
  EXPECT_EQ(f.blocks, "0000");
  EXPECT_EQ(f.piece, 0);
  EXPECT_EQ(f.turn, 0);
  EXPECT_EQ(f.px, 5);
  EXPECT_EQ(f.py, 7.5F);
  EXPECT_EQ(f.speed, 1.0F);
  EXPECT_EQ(f.nextpiece, next);
  EXPECT_EQ(f.hiscore, "000420");
  EXPECT_EQ(f.scorelabel().caption(), "Score:000000");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:000420");
  EXPECT_EQ(f.rowslabel().caption(), "Rows:000");
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0000");
  EXPECT_EQ(f.npiece().caption(), "Next Piece:");
  EXPECT_FALSE(f.Command1().visible());
  EXPECT_FALSE(f.Pause().visible());
  EXPECT_EQ(f.Timer1().interval(), 0);
  EXPECT_EQ(f.Timer3().interval(), 200);
  EXPECT_EQ(f.Timer2().interval(), 1);
  EXPECT_EQ(g.visibleCells(), 64);
  EXPECT_EQ(f.covertop().top(), -3437.0F);
  EXPECT_THAT(random.seeds, ElementsAre(test::kNoon, test::kNoon));
}

}  // namespace
}  // namespace vorlane
