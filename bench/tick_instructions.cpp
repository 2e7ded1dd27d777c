// SPDX-License-Identifier: MIT
// The instructions of one gravity tick, counted by callgrind: performs
// warm-up ticks, then N measured ticks of one kind, each inside
// measuredTick(). Run it as
//   valgrind --tool=callgrind --toggle-collect='*measuredTick*'
//            tick_instructions gravity|lock N
// and divide the collected total by N. The set-up between ticks lies outside
// measuredTick() and is not counted.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scenes.h"

namespace {

// Neither inlined nor folded with another function, so that callgrind finds it by name.
__attribute__((noipa)) void measuredTick(vorlane::bench::Playing& g) { g.tick(); }

}  // namespace

int main(int argc, char** argv) {
  const bool lock = argc > 1 && std::strcmp(argv[1], "lock") == 0;
  const bool gravity = argc > 1 && std::strcmp(argv[1], "gravity") == 0;
  const int n = argc > 2 ? std::atoi(argv[2]) : 0;
  if ((!lock && !gravity) || n <= 0) {
    std::fputs("usage: tick_instructions gravity|lock N\n", stderr);
    return 2;
  }
  vorlane::bench::Playing g;
  const auto arm = [&] {
    if (lock) {
      g.armFourRowLock();
    } else {
      g.armGravity();
    }
  };
  for (int k = 0; k < 20; ++k) {
    arm();
    g.tick();
  }
  for (int k = 0; k < n; ++k) {
    arm();
    const unsigned rows = g.form.rows.value();
    measuredTick(g);
    if (lock) g.expectRows(rows, 4);
    if (!lock && g.form.landed) std::abort();
  }
  std::printf("%s ticks: %d\n", argv[1], n);
  return 0;
}
