// Long headless runs: thousands of games played by random key streams with
// fixed seeds, so any failure replays, and the game checked after every step.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

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

TEST(Soak, ThousandsOfGamesWithRandomKeysKeepTheGameWhole) {
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

  long long pieces = 0;
  long long rowsCleared = 0;
  for (int game = 0; game < games; ++game) {
    int steps = 0;
    while (!form.Command1().visible()) {
      ASSERT_LT(++steps, 200'000) << "game " << game << " does not end";
      const int a = action(player);
      if (a < 40) {
        form.keyDown(kCommands[a % 5], 0);
      } else if (a == 40) {
        form.keyDown(static_cast<std::uint16_t>(anyCode(player)), 0);
      } else if (a == 41) {
        // A pause, resumed a moment later by its button.
        form.keyDown(vk::kP, 0);
        scheduler.advanceMs(wait(player));
        form.Pause().click();
      }
      scheduler.advanceMs(wait(player));
      const std::string broken = invariants.check(form);
      ASSERT_EQ(broken, "") << "game " << game << ", step " << steps;
    }
    pieces += form.blocks.value();
    rowsCleared += form.rows.value();
    form.Command1().click();
    ASSERT_EQ(invariants.check(form), "");
  }
  RecordProperty("games", games);
  RecordProperty("pieces", static_cast<int>(pieces));
  RecordProperty("rows", static_cast<int>(rowsCleared));
  std::printf("soak: %d games, %lld pieces, %lld rows\n", games, pieces, rowsCleared);
}

}  // namespace
}  // namespace vorlane
