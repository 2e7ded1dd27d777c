// SPDX-License-Identifier: MIT
// The cost of the game's own work, headless: one gravity step (drop), a
// gravity tick without a lock, a tick that locks a piece and removes four
// rows, a spawn (change), and whole games from the intro to game over.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "scenes.h"

namespace vorlane::bench {
namespace {

void BM_Drop(benchmark::State& state) {
  Playing g;
  g.armGravity();
  for (auto _ : state) {
    g.form.py = 2;  // stays clear of the floor
    g.form.drop();
  }
}
BENCHMARK(BM_Drop);

// A scheduler step that fires one gravity tick; the piece moves and does not land.
void BM_GravityTick(benchmark::State& state) {
  Playing g;
  for (auto _ : state) {
    g.armGravity();
    g.tick();
  }
  if (g.form.landed) state.SkipWithError("the piece landed");
}
BENCHMARK(BM_GravityTick);

// A gravity tick that locks an upright I, removes four rows and spawns the
// next piece. Setting the well up again is left out of the time.
void BM_LockFourRows(benchmark::State& state) {
  Playing g;
  for (auto _ : state) {
    state.PauseTiming();
    g.armFourRowLock();
    const unsigned rows = g.form.rows.value();
    state.ResumeTiming();
    g.tick();
    state.PauseTiming();
    g.expectRows(rows, 4);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LockFourRows);

void BM_Change(benchmark::State& state) {
  Playing g;
  for (auto _ : state) g.form.change();
}
BENCHMARK(BM_Change);

// Whole games on simulated time, restart included: ticks per second of
// processor time.
void BM_WholeGame(benchmark::State& state) {
  Scheduler scheduler;
  Random random(5.0F);
  Form1 form(scheduler, random, [] { return 5.0F; });
  form.show();
  std::int64_t ticks = 0;
  for (auto _ : state) {
    const std::uint64_t before = scheduler.ticksFired();
    while (!form.Command1().visible()) scheduler.advanceMs(50);
    ticks += static_cast<std::int64_t>(scheduler.ticksFired() - before);
    form.Command1().click();
  }
  state.counters["ticks/s"] =
      benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WholeGame);

}  // namespace
}  // namespace vorlane::bench

BENCHMARK_MAIN();
