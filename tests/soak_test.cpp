// SPDX-License-Identifier: MIT
// Long headless runs: thousands of games with fixed seeds, so any failure
// replays, and the game checked after every step. Half are played by random
// key streams; half by a player that aims each piece, so rows get cleared.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "aimer.h"
#include "invariants.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane {
namespace {

int gamesToPlay() {
  const char* env = std::getenv("VORLANE_SOAK_GAMES");
  return env != nullptr ? std::atoi(env) : 10'000;
}

struct Totals {
  long long pieces = 0;
  long long rows = 0;
};

// The check keeps pointers to the controls between events: it must see a
// fault in the controls of a new load as well as in the first.
TEST(Invariants, NameWhatIsBrokenAlsoAfterARestart) {
  Scheduler scheduler;
  Random random(7.0F);
  Form1 form(scheduler, random, [] { return 1.0F; });
  form.show();
  test::Invariants invariants;
  ASSERT_EQ(invariants.check(form), "");
  form.Command1().click();  // a restart: every control made anew
  ASSERT_EQ(invariants.check(form), "");

  form.Shape2(25).setVisible(false);
  EXPECT_EQ(invariants.check(form), "wall cell 25 is hidden");
  form.Shape2(25).setVisible(true);
  form.rowslabel().setCaption("Rows:001");
  EXPECT_EQ(invariants.check(form), "rows label shows Rows:001");
  form.rowslabel().setCaption("Rows:000");
  form.piece = 25;
  EXPECT_EQ(invariants.check(form), "piece 25 out of range");
  form.piece = 0;
  EXPECT_EQ(invariants.check(form), "");
  form.unload();
  EXPECT_EQ(invariants.check(form), "the window is not loaded");
}

TEST(Soak, ThousandsOfGamesKeepTheGameWhole) {
  const int games = gamesToPlay();
  Scheduler scheduler;
  Random random(7.0F);
  Form1 form(scheduler, random, [] { return 1.0F; });
  form.show();
  test::Invariants invariants;
  std::mt19937 player(20261207);
  std::uniform_int_distribution<int> action(0, 99);
  std::uniform_int_distribution<int> anyCode(0, 0xFFFF);
  std::uniform_int_distribution<int> wait(1, 60);
  constexpr std::uint16_t kCommands[] = {vk::kLeft, vk::kRight, vk::kA, vk::kS, vk::kDown};

  Totals unaimed;
  Totals aimed;
  for (int game = 0; game < games; ++game) {
    const bool aiming = game % 2 == 1;
    int steps = 0;
    int lastBlocks = -1;
    bool steering = false;
    test::Aimer::Target target;
    while (!form.Command1().visible()) {
      ASSERT_LT(++steps, 400'000) << "game " << game << " does not end";
      const int a = action(player);
      if (aiming && form.Timer1().interval() != 0) {
        if (static_cast<int>(form.blocks.value()) != lastBlocks) {
          lastBlocks = static_cast<int>(form.blocks.value());
          target = test::Aimer::choose(form);
          steering = true;
        }
        if (steering) {
          // Refused keys (the piece is still above the well) are tried again.
          if (form.turn != target.turn) {
            form.keyDown(vk::kA, 0);
          } else if (form.px != target.px) {
            form.keyDown(form.px < target.px ? vk::kRight : vk::kLeft, 0);
          } else {
            form.keyDown(vk::kDown, 0);
            steering = false;
          }
        }
      } else if (!aiming && a < 40) {
        form.keyDown(kCommands[a % 5], 0);
      }
      if (a == 40) {
        form.keyDown(static_cast<std::uint16_t>(anyCode(player)), 0);
      } else if (a == 41) {
        // A pause, resumed a moment later by its button.
        form.keyDown(vk::kP, 0);
        scheduler.advanceMs(wait(player));
        form.Pause().click();
      }
      scheduler.advanceMs(aiming ? 10 : wait(player));
      const std::string broken = invariants.check(form);
      ASSERT_EQ(broken, "") << "game " << game << ", step " << steps;
    }
    Totals& t = aiming ? aimed : unaimed;
    t.pieces += form.blocks.value();
    t.rows += form.rows.value();
    form.Command1().click();
    ASSERT_EQ(invariants.check(form), "");
  }
  // The aiming player must really clear rows, or half the soak misses them.
  if (games >= 2) {
    EXPECT_GT(aimed.rows, games / 2);
  }
  std::printf(
      "soak: %d games; random keys: %lld pieces, %lld rows; aimed: %lld pieces, %lld rows\n", games,
      unaimed.pieces, unaimed.rows, aimed.pieces, aimed.rows);
}

}  // namespace
}  // namespace vorlane
