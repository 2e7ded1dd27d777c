// Long headless runs: thousands of games with fixed seeds, so any failure
// replays, and the game checked after every step. Half are played by random
// key streams; half by a player that aims each piece, so rows get cleared.
#include <gtest/gtest.h>

#include <array>
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

// Picks a rotation and column for the falling piece by trying every one on a
// copy of the well: full rows first, then few holes, then a low stack.
class Aimer {
 public:
  struct Target {
    int turn = 1;
    int px = 3;
  };

  static Target choose(const Form1& f) {
    Grid well{};
    for (int r = 0; r < 22; ++r) {
      for (int c = 0; c < 12; ++c) well[r][c] = f.Shape2(12 * r + c + 1).visible();
    }
    Target best;
    long bestScore = -1'000'000;
    for (int turn = 1; turn <= 4; ++turn) {
      for (int px = -2; px <= 10; ++px) {
        Grid g = well;
        if (!place(f, turn, px, g)) continue;
        const long s = score(g);
        if (s > bestScore) {
          bestScore = s;
          best = {turn, px};
        }
      }
    }
    return best;
  }

 private:
  using Grid = std::array<std::array<bool, 12>, 22>;

  static bool filled(const Form1& f, int turn, int i, int j) {
    return f.filledAt(f.piece, turn, i, j);
  }

  // Drops the piece straight down from the top; false if it cannot rest
  // wholly inside the well there.
  static bool place(const Form1& f, int turn, int px, Grid& g) {
    for (int py = -4; py <= 20; ++py) {
      bool rests = false;
      for (int i = 1; i <= 5 && !rests; ++i) {
        for (int j = 1; j <= 5 && !rests; ++j) {
          if (!filled(f, turn, i, j)) continue;
          const int r = py + i + 1;
          const int c = px + j;
          if (c < 1 || c > 10) return false;
          rests = r > 21 || (r >= 2 && g[r][c]);
        }
      }
      if (!rests) continue;
      for (int i = 1; i <= 5; ++i) {
        for (int j = 1; j <= 5; ++j) {
          if (!filled(f, turn, i, j)) continue;
          const int r = py + i;
          if (r < 1 || g[r][px + j]) return false;
          g[r][px + j] = true;
        }
      }
      return true;
    }
    return false;
  }

  static long score(const Grid& g) {
    long full = 0;
    long holes = 0;
    long height = 0;
    long bumps = 0;
    int lastTop = -1;
    for (int r = 1; r <= 20; ++r) {
      bool all = true;
      for (int c = 1; c <= 10; ++c) all = all && g[r][c];
      full += all ? 1 : 0;
    }
    for (int c = 1; c <= 10; ++c) {
      int top = 21;
      for (int r = 20; r >= 1; --r) {
        if (g[r][c]) top = r;
      }
      for (int r = top + 1; r <= 20; ++r) holes += g[r][c] ? 0 : 1;
      height += 21 - top;
      if (lastTop >= 0) bumps += std::abs(top - lastTop);
      lastTop = top;
    }
    return full * 800 - holes * 35 - height * 5 - bumps * 2;
  }
};

struct Totals {
  long long pieces = 0;
  long long rows = 0;
};

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
    Aimer::Target target;
    while (!form.Command1().visible()) {
      ASSERT_LT(++steps, 400'000) << "game " << game << " does not end";
      const int a = action(player);
      if (aiming && form.Timer1().interval() != 0) {
        if (static_cast<int>(form.blocks.value()) != lastBlocks) {
          lastBlocks = static_cast<int>(form.blocks.value());
          target = Aimer::choose(form);
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
