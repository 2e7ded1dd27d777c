// SPDX-License-Identifier: MIT
// Feeds the headless window any sequence of events (event_player.h says
// what the bytes mean) and checks after each one that the game is still whole.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "event_player.h"

namespace {

// libFuzzer counts inputs, whose lengths vary a thousandfold; checked steps
// are the fair measure of speed, so the totals are printed when the run ends.
// How often rows are removed shows whether the fuzzer still plays games
// deep enough to fill them.
struct Totals {
  std::uint64_t steps = 0;
  std::uint64_t inputs = 0;
  std::uint64_t inputsRemovingRows = 0;
  std::uint64_t rows = 0;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  ~Totals() {
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (steps == 0 || took.count() <= 0) return;
    std::fprintf(stderr,
                 "fuzz_events: %llu events in %.1f s, %.0f events/s; %llu of %llu inputs "
                 "removed rows, %llu rows in all\n",
                 static_cast<unsigned long long>(steps), took.count(),
                 static_cast<double>(steps) / took.count(),
                 static_cast<unsigned long long>(inputsRemovingRows),
                 static_cast<unsigned long long>(inputs), static_cast<unsigned long long>(rows));
  }
};

Totals totals;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorlane::fuzz::EventPlayer player;
  for (std::size_t pos = 0; pos < size;) pos = player.play(data, size, pos);
  totals.steps += player.steps();
  totals.inputs += 1;
  totals.inputsRemovingRows += player.rowsRemoved() > 0 ? 1 : 0;
  totals.rows += player.rowsRemoved();
  return 0;
}
