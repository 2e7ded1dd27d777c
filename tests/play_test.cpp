// SPDX-License-Identifier: MIT
// Play control: the intro, gravity and spawning, the keyboard, the opening
// curtain, pause, game over and restart, driven through the scheduler.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "harness.h"

namespace vorlane {
namespace {

using test::drawForChannel;
using test::drawForPiece;
using ::testing::ElementsAre;

constexpr Scheduler::Micros kIntroTick = 15'625;  // 1 and 2 ms run at the resolution

// Channel values that differ from one draw to the next, so that a colour
// tells which three draws made it.
unsigned channelOfDraw(std::size_t n) { return 75 + static_cast<unsigned>(n * 7 % 181); }
Colour colourOfDraws(std::size_t first) {
  return rgb(channelOfDraw(first), channelOfDraw(first + 1), channelOfDraw(first + 2));
}

// The draws of begin and the first spawn: piece 5 falls first, 9 is next,
// then 15 preview draws and 75 block draws; the next spawn draws piece 13.
std::vector<float> firstSpawnDraws() {
  std::vector<float> draws;
  for (std::size_t n = 0; n < 200; ++n) {
    draws.push_back(drawForChannel(static_cast<int>(channelOfDraw(n))));
  }
  draws[0] = drawForPiece(5);
  draws[1] = drawForPiece(9);
  draws[92] = drawForPiece(13);
  return draws;
}

// --- The intro ---------------------------------------------------------------

TEST(Intro, ShowsPiecesZeroToSevenInFourStatesEachAndBeginsOnTheThirtyThirdTick) {
  test::ScriptedRandom random(firstSpawnDraws());
  test::Game g(random);
  Form1& f = g.form;
  for (int n = 1; n <= 32; ++n) {
    SCOPED_TRACE(n);
    f.Timer2_Timer();
    ASSERT_EQ(f.piece, (n - 1) / 4);
    ASSERT_EQ(f.turn, (n - 1) % 4 + 1);
    EXPECT_EQ(f.px, 3);
    EXPECT_EQ(f.py, 8.0F);
    EXPECT_EQ(f.Timer2().interval(), 2);
    // Drawn as rotate reads the pattern, in the template's look.
    const std::string picture = g.boxPicture(f.piece, f.turn);
    for (int k = 1; k <= 25; ++k) {
      const Rectangle& b = f.Shape1(k);
      ASSERT_EQ(b.visible(), picture[static_cast<std::size_t>(k - 1 + (k - 1) / 5)] == '#') << k;
      if (!b.visible()) continue;
      EXPECT_EQ(b.top(), static_cast<float>((8 + (k - 1) / 5 + 1) * 292 + 50));
      EXPECT_EQ(b.backColor(), rgb(0, 0, 192));
      EXPECT_EQ(b.fillStyle(), 1);
    }
  }
  EXPECT_EQ(random.count, 0U);
  EXPECT_EQ(f.Timer1().interval(), 0);

  f.Timer2_Timer();
  EXPECT_EQ(f.Timer2().interval(), 0);
  EXPECT_EQ(f.Timer1().interval(), 50);
  EXPECT_EQ(f.piece, 5) << "the first piece is the one begin drew";
  EXPECT_EQ(f.nextpiece, 9);
  EXPECT_EQ(random.count, 92U);
}

TEST(Intro, RunsAtTheTimerResolutionAndGravityTicksFiftyMillisecondsAfterIt) {
  test::Game g;
  Form1& f = g.form;
  g.scheduler.advance(33 * kIntroTick - 1);
  EXPECT_EQ(f.Timer2().interval(), 2);
  EXPECT_EQ(f.piece, 7);
  g.scheduler.advance(1);
  EXPECT_EQ(f.Timer2().interval(), 0);
  EXPECT_EQ(f.py, -4.0F);
  EXPECT_TRUE(g.shownBlocks().empty()) << "a new piece shows at its first gravity tick";
  g.scheduler.advance(50'000 - 1);
  EXPECT_EQ(f.py, -4.0F);
  g.scheduler.advance(1);
  EXPECT_EQ(f.py, -4.0F + 0.1F);
  // Its top box row stands at row -2.9.
  ASSERT_FALSE(g.shownBlocks().empty());
  const int top = g.shownBlocks().front();
  EXPECT_EQ(f.Shape1(top).top(), (-4.0F + 0.1F + static_cast<float>((top - 1) / 5 + 1)) * 292 + 50);
}

TEST(Intro, KeysBeforeTheFirstTickAreNeverRefusedAndEveryTickUndoesAShift) {
  test::Game g;
  Form1& f = g.form;
  for (int n = 0; n < 5; ++n) f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, -5);        // from 0 on a fresh record, through the wall
  f.Form_KeyDown(vk::kS, 0);  // turn 0 becomes -1: rotate selects nothing
  EXPECT_EQ(f.turn, -1);
  EXPECT_EQ(f.blocked, 0);
  f.Timer2_Timer();
  EXPECT_EQ(f.px, 3);
  EXPECT_EQ(f.turn, 0);
  for (int n = 0; n < 4; ++n) f.Timer2_Timer();  // piece 1, upright
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 2);
  f.Timer2_Timer();
  EXPECT_EQ(f.px, 3);
}

// (intro ticks before the key, key, total intro ticks)
class IntroKey : public ::testing::TestWithParam<std::tuple<int, std::uint16_t, int>> {};

TEST_P(IntroKey, ATurnChangesTheIntrosOwnCountAndSoItsLength) {
  const auto [before, key, total] = GetParam();
  test::Game g;
  for (int n = 0; n < before; ++n) g.form.Timer2_Timer();
  g.form.Form_KeyDown(key, 0);
  EXPECT_EQ(before + g.finishIntro(), total);
}

INSTANTIATE_TEST_SUITE_P(Keys, IntroKey,
                         ::testing::Values(std::tuple{0, vk::kS, 34},   // turn -1
                                           std::tuple{8, vk::kA, 36},   // piece 1: 4 wraps to 1
                                           std::tuple{9, vk::kS, 30},   // 1 wraps to 4
                                           std::tuple{10, vk::kS, 34},  // a state repeated
                                           std::tuple{10, vk::kA, 32},  // a state skipped
                                           std::tuple{10, vk::kLeft, 33}));

TEST(Intro, DownMakesTheRemainingIntroPiecesStandARowLower) {
  test::Game g;
  Form1& f = g.form;
  for (int n = 0; n < 4; ++n) f.Timer2_Timer();
  f.Form_KeyDown(vk::kDown, 0);
  f.Timer2_Timer();  // piece 1, upright: block 3 in box row 1
  EXPECT_EQ(f.py, 9.0F);
  EXPECT_EQ(f.Shape1(3).top(), 10.0F * 292 + 50);
}

// --- Spawning and gravity ------------------------------------------------------

TEST(Spawn, DrawsTheNextPieceThenThePreviewThenTheBlockColours) {
  test::ScriptedRandom random(firstSpawnDraws());
  test::Game g(random);
  Form1& f = g.form;
  g.finishIntro();
  EXPECT_EQ(f.piece, 5);
  EXPECT_EQ(f.nextpiece, 9);
  EXPECT_EQ(f.px, 3);
  EXPECT_EQ(f.py, -4.0F);
  EXPECT_EQ(f.turn, 1);
  EXPECT_EQ(f.speed, 0.1F);
  EXPECT_EQ(f.i, 26);
  // The preview shows piece 9, its blocks coloured by draws 2 to 16 in order.
  const std::vector<int> shown = g.shownPreview();
  ASSERT_THAT(shown, ElementsAre(8, 9, 12, 13, 18));
  for (std::size_t m = 0; m < shown.size(); ++m) {
    EXPECT_EQ(f.Shape3(shown[m]).backColor(), colourOfDraws(2 + 3 * m)) << shown[m];
  }
  // Then 75 draws for the 25 blocks, block 1 red, green, blue first.
  for (int k = 1; k <= 25; ++k) {
    SCOPED_TRACE(k);
    const Rectangle& b = f.Shape1(k);
    EXPECT_FALSE(b.visible());
    EXPECT_EQ(b.fillStyle(), 7);
    EXPECT_EQ(b.backColor(), colourOfDraws(17 + 3 * static_cast<std::size_t>(k - 1)));
  }
  EXPECT_EQ(random.count, 92U);
}

TEST(Gravity, APieceThatComesToRestIsLockedAndFollowedInTheSameTick) {
  test::ScriptedRandom random(firstSpawnDraws());
  test::Game g(random);
  Form1& f = g.form;
  g.finishIntro();
  f.piece = 2;
  f.py = 16.5F;
  f.Form_KeyDown(vk::kDown, 0);  // the next step brings the lying bar into row 20
  f.Timer1_Timer();
  EXPECT_EQ(g.interior()[19], "...#####..");
  EXPECT_EQ(f.blocks, "0001");
  EXPECT_EQ(f.piece, 9);
  EXPECT_EQ(f.nextpiece, 13);
  EXPECT_EQ(random.count, 92U + 91U);
  EXPECT_EQ(f.py, -4.0F);
  EXPECT_EQ(f.speed, 0.1F) << "every spawn resets the speed";
  EXPECT_TRUE(g.shownBlocks().empty());
  f.Timer1_Timer();
  EXPECT_EQ(f.py, -4.0F + 0.1F);
  EXPECT_FALSE(g.shownBlocks().empty());
}

TEST(Gravity, TheTickThatEndsTheGameStillSpawns) {
  test::ScriptedRandom random(firstSpawnDraws());
  test::Game g(random);
  Form1& f = g.form;
  g.finishIntro();
  f.Timer1_Timer();
  g.setCell(2, 1);  // cell 26: every block above the well now rests
  f.Timer1_Timer();
  EXPECT_TRUE(f.Command1().visible());
  EXPECT_EQ(f.Timer1().interval(), 0);
  EXPECT_EQ(f.piece, 9);
  EXPECT_EQ(f.nextpiece, 13);
  EXPECT_EQ(random.count, 92U + 91U);
  EXPECT_TRUE(g.shownBlocks().empty());
  EXPECT_THAT(g.shownPreview(), ElementsAre(8, 13, 17, 18, 22)) << "piece 13 in the preview";
  g.scheduler.advanceMs(5000);
  EXPECT_EQ(f.py, -4.0F) << "gravity has stopped";
}

// --- Keys in play --------------------------------------------------------------

TEST(Keys, EachShiftIsTestedOnItsOwnAndShowsAtTheNextTick) {
  test::Game g;
  Form1& f = g.form;
  g.finishIntro();
  f.piece = 2;
  f.px = 2;  // the lying bar in columns 3 to 7
  f.py = 5;
  f.Timer1_Timer();
  const float left = f.Shape1(11).left();
  f.Form_KeyDown(vk::kLeft, 0);
  f.Form_KeyDown(vk::kLeft, 0);
  EXPECT_EQ(f.px, 0);
  f.Form_KeyDown(vk::kLeft, 0);  // into the wall
  EXPECT_EQ(f.px, 0);
  EXPECT_EQ(f.Shape1(11).left(), left) << "the key handler draws nothing";
  f.Timer1_Timer();
  EXPECT_EQ(f.Shape1(11).left(), 1.0F * 292 + 50);
}

TEST(Keys, DownMakesThePieceFallARowATickKeepingItsFraction) {
  test::Game g;
  Form1& f = g.form;
  g.finishIntro();
  f.py = 2.3F;
  f.Form_KeyDown(vk::kDown, 0);
  f.Timer1_Timer();
  EXPECT_EQ(f.py, 2.3F + 1.0F);
  f.Form_KeyDown(vk::kDown, 0);
  f.Timer1_Timer();
  EXPECT_EQ(f.py, 2.3F + 1.0F + 1.0F);
}

TEST(Keys, LettersAreKnownByTheirCodeWhateverTheShiftState) {
  test::Game g;
  Form1& f = g.form;
  g.finishIntro();
  f.piece = 21;
  f.py = 5;
  f.turn = 2;
  f.keyDown(vk::kA, 1);
  EXPECT_EQ(f.turn, 3);
  f.keyDown(vk::kS, 7);
  EXPECT_EQ(f.turn, 2);
}

TEST(Keys, EveryOtherCodeDoesNothing) {
  test::Game g;
  Form1& f = g.form;
  g.finishIntro();
  f.py = 5;
  const GameState before = f;
  for (int code = 0; code <= 0xFFFF; ++code) {
    switch (code) {
      case vk::kLeft:
      case vk::kRight:
      case vk::kA:
      case vk::kS:
      case vk::kDown:
      case vk::kP:
        continue;
      default:
        f.keyDown(static_cast<std::uint16_t>(code), 0);
    }
  }
  EXPECT_EQ(f.px, before.px);
  EXPECT_EQ(f.turn, before.turn);
  EXPECT_EQ(f.speed, before.speed);
  EXPECT_EQ(f.hold, before.hold);
  EXPECT_EQ(f.blocked, before.blocked);
  EXPECT_EQ(f.py, before.py);
  EXPECT_FALSE(f.Pause().visible());
  EXPECT_TRUE(f.Timer1().enabled());
}

// --- Pause -----------------------------------------------------------------------

TEST(Pause, PFreezesTheIntroAndTheCurtainAndThePauseButtonResumesThem) {
  test::Game g;
  Form1& f = g.form;
  g.scheduler.advance(12 * kIntroTick + 1'000);  // 12 intro ticks, no curtain step yet
  EXPECT_TRUE(f.gameUnderWay()) << "the intro is a game under way";
  f.keyDown(vk::kP, 0);
  EXPECT_TRUE(f.Pause().visible());
  EXPECT_FALSE(f.gameUnderWay());
  EXPECT_FALSE(f.Timer1().enabled());
  EXPECT_FALSE(f.Timer2().enabled());
  EXPECT_FALSE(f.Timer3().enabled());
  // The button lies in front of the closed curtain, where it can be clicked.
  EXPECT_EQ(f.widgets().back(), &f.Pause());
  f.keyDown(vk::kP, 0);  // P while paused changes nothing
  const int piece = f.piece;
  const int turn = f.turn;
  g.scheduler.advanceMs(5000);
  EXPECT_EQ(f.piece, piece);
  EXPECT_EQ(f.turn, turn);
  EXPECT_EQ(f.coverbottom().top(), 3437.0F);

  f.Pause().click();
  EXPECT_FALSE(f.Pause().visible());
  EXPECT_TRUE(f.gameUnderWay());
  EXPECT_TRUE(f.Timer1().enabled() && f.Timer2().enabled() && f.Timer3().enabled());
  // The intro goes on from where it stopped: 21 ticks to go, the wait begun afresh.
  g.scheduler.advance(21 * kIntroTick - 1);
  EXPECT_EQ(f.Timer2().interval(), 2);
  g.scheduler.advance(1);
  EXPECT_EQ(f.Timer2().interval(), 0);
  EXPECT_EQ(f.Timer1().interval(), 50);
  // The curtain too: its first step came 200 ms after the click.
  EXPECT_EQ(f.coverbottom().top(), 3437.0F + 250);
}

TEST(Pause, InPlayGravityStopsAndResumesAWholeIntervalAfterTheClick) {
  test::Game g;
  Form1& f = g.form;
  g.scheduler.advanceMs(3000);  // the intro is over and the curtain open
  ASSERT_EQ(f.Timer3().interval(), 0);
  f.keyDown(vk::kP, 0);
  const float py = f.py;
  const float curtain = f.coverbottom().top();
  g.scheduler.advanceMs(1000);
  EXPECT_EQ(f.py, py);
  f.Pause().click();
  g.scheduler.advance(50'000 - 1);
  EXPECT_EQ(f.py, py);
  g.scheduler.advance(1);
  EXPECT_NE(f.py, py);
  g.scheduler.advanceMs(1000);
  EXPECT_EQ(f.coverbottom().top(), curtain) << "an open curtain stays open";
  EXPECT_EQ(f.Timer2().interval(), 0) << "the intro does not start again";
}

TEST(Pause, AfterGameOverTheButtonEnablesGravityButNoTickFollows) {
  test::Game g;
  Form1& f = g.form;
  g.scheduler.advanceMs(600);  // play has begun; the first piece shows above the well
  g.setCell(2, 1);
  g.scheduler.advanceMs(50);
  ASSERT_TRUE(f.Command1().visible());
  EXPECT_FALSE(f.gameUnderWay());
  g.scheduler.advanceMs(2400);  // and the curtain is open
  ASSERT_EQ(f.Timer3().interval(), 0);
  f.keyDown(vk::kP, 0);
  EXPECT_TRUE(f.Pause().visible());
  EXPECT_FALSE(f.Timer1().enabled());
  f.Pause().click();
  EXPECT_TRUE(f.Timer1().enabled());
  EXPECT_TRUE(f.Command1().visible());
  const auto fired = g.scheduler.ticksFired();
  g.scheduler.advanceMs(10'000);
  EXPECT_EQ(g.scheduler.ticksFired(), fired);
}

// --- The curtain -----------------------------------------------------------------

TEST(Curtain, OpensInFourteenStepsOf250TwipsEvery200Milliseconds) {
  test::Game g;
  Form1& f = g.form;
  g.scheduler.advance(200'000 - 1);
  EXPECT_EQ(f.coverbottom().top(), 3437.0F);
  g.scheduler.advance(1);
  EXPECT_EQ(f.covertop().top(), -3437.0F - 250);
  EXPECT_EQ(f.coverbottom().top(), 3437.0F + 250);
  g.scheduler.advanceMs(12 * 200);
  EXPECT_EQ(f.Timer3().interval(), 200) << "13 steps: 6687 is not past 6874";
  g.scheduler.advanceMs(200);
  EXPECT_EQ(f.Timer3().interval(), 0);
  EXPECT_EQ(f.coverbottom().top(), 6937.0F);
  EXPECT_EQ(f.covertop().top() + f.covertop().height(), -63.0F);
  g.scheduler.advanceMs(10'000);
  EXPECT_EQ(f.coverbottom().top(), 6937.0F);
  EXPECT_TRUE(f.covertop().visible() && f.coverbottom().visible());
}

// (window height, curtain steps)
class CurtainHeight : public ::testing::TestWithParam<std::tuple<float, int>> {};

TEST_P(CurtainHeight, StopsOnlyOnceTheLowerPanelIsStrictlyBelowTheWindow) {
  const auto [height, steps] = GetParam();
  test::Game g;
  Form1& f = g.form;
  f.setHeight(height);
  f.cover();
  EXPECT_EQ(f.covertop().top(), -height / 2);
  EXPECT_EQ(f.coverbottom().top(), height / 2);
  EXPECT_EQ(test::openCurtain(f), steps);
}

INSTANTIATE_TEST_SUITE_P(Heights, CurtainHeight,
                         ::testing::Values(std::tuple{6874.0F, 14}, std::tuple{6500.0F, 14},
                                           std::tuple{7000.0F, 15}, std::tuple{7001.0F, 15}));

// --- A whole game and the restart ------------------------------------------------

TEST(WholeGame, AScriptedPlayerPlaysToTheEndAndTheRestartKeepsOnlyTheBestScore) {
  test::Game g;
  Form1& f = g.form;
  const std::uint16_t script[] = {vk::kLeft,  vk::kA, 0,          vk::kLeft,  vk::kS, vk::kDown,
                                  vk::kRight, 0,      vk::kRight, vk::kRight, vk::kA, vk::kDown};
  g.scheduler.advanceMs(600);
  ASSERT_EQ(f.Timer1().interval(), 50);
  int ticks = 0;
  while (!f.Command1().visible() && ticks < 50'000) {
    f.keyDown(script[ticks % std::size(script)], 0);
    g.scheduler.advanceMs(50);
    ++ticks;
    for (int r = 0; r <= 21; ++r) {
      ASSERT_TRUE(g.cellVisible(r, 0) && g.cellVisible(r, 11)) << "tick " << ticks;
    }
  }
  ASSERT_TRUE(f.Command1().visible()) << "the game did not end";
  EXPECT_GE(f.blocks.value(), 10U);
  EXPECT_EQ(f.score.value(), 10 * f.blocks.value() + 150 * f.rows.value());
  EXPECT_EQ(f.hiscore, f.score.text());
  EXPECT_EQ(f.Command1().left(), 1824.5F);
  EXPECT_EQ(f.Command1().top(), 2154.5F);
  const std::string best(f.hiscore.text());
  const std::string blocks(f.blocks.text());
  g.scheduler.advanceMs(5000);
  EXPECT_EQ(f.blocks, blocks) << "nothing falls after the game is over";

  f.Command1().click();
  EXPECT_EQ(f.scorelabel().caption(), "Score:000000");
  EXPECT_EQ(f.hscorelabel().caption(), "HiScore:" + best);
  EXPECT_EQ(f.rowslabel().caption(), "Rows:000");
  EXPECT_EQ(f.piecelabel().caption(), "Blocks:0000");
  EXPECT_FALSE(f.Command1().visible());
  EXPECT_FALSE(f.Pause().visible());
  EXPECT_EQ(g.visibleCells(), 64);
  EXPECT_EQ(f.coverbottom().top(), 3437.0F);
  EXPECT_EQ(f.piece, 0);
  EXPECT_EQ(f.turn, 0);
  // The intro runs again from its beginning, at 1 ms, so at the resolution.
  EXPECT_EQ(f.Timer2().interval(), 1);
  g.scheduler.advance(33 * kIntroTick - 1);
  EXPECT_EQ(f.Timer1().interval(), 0);
  g.scheduler.advance(1);
  EXPECT_EQ(f.Timer1().interval(), 50);
  for (int n = 0; n < 1000 && f.blocks.value() == 0; ++n) g.scheduler.advanceMs(50);
  EXPECT_EQ(f.score, "000010");
  EXPECT_EQ(f.hiscore, best) << "kept until a new score passes it";
}

}  // namespace
}  // namespace vorlane
