// The cost of the game's own work, headless: one gravity step, a gravity
// tick, a spawn, and a whole game from the intro to game over.
#include <benchmark/benchmark.h>

#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane {
namespace {

struct Loaded {
  Loaded() {
    form.show();
    while (form.Timer2().interval() != 0) form.Timer2_Timer();
  }
  Scheduler scheduler;
  Random random{3.0F};
  Form1 form{scheduler, random, [] { return 3.0F; }};
};

void BM_Drop(benchmark::State& state) {
  Loaded g;
  for (auto _ : state) {
    g.form.py = 2;  // stays clear of the floor
    g.form.drop();
  }
}
BENCHMARK(BM_Drop);

void BM_Change(benchmark::State& state) {
  Loaded g;
  for (auto _ : state) g.form.change();
}
BENCHMARK(BM_Change);

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
}  // namespace vorlane

BENCHMARK_MAIN();
