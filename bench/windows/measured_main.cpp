// SPDX-License-Identifier: MIT
// The game as shipped, with what the benchmarks read: with
// VORLANE_MEASURE_FILE set it writes there "first-frame" once the window's
// first frame is on screen, and when the window closes "wakeups N" (the
// message loop's) and "ticks N" (the timers' ticks fired).

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "platform/scheduler.h"
#include "windows/driver.h"
#include "windows/run_game.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command*/, int /*show*/) {
  const char* file = std::getenv("VORLANE_MEASURE_FILE");
  vorlane::windows::GameHooks hooks;
  if (file != nullptr) {
    hooks.firstFrame = [file] {
      if (FILE* f = std::fopen(file, "w")) {
        std::fputs("first-frame\n", f);
        std::fclose(f);
      }
    };
    hooks.closed = [file](const vorlane::windows::Driver& driver,
                          const vorlane::Scheduler& scheduler) {
      if (FILE* f = std::fopen(file, "a")) {
        std::fprintf(f, "wakeups %llu\nticks %llu\n",
                     static_cast<unsigned long long>(driver.wakeups()),
                     static_cast<unsigned long long>(scheduler.ticksFired()));
        std::fclose(f);
      }
    };
  }
  return vorlane::windows::runGame(instance, hooks);
}
