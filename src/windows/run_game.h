// SPDX-License-Identifier: MIT
// Starting the game on Windows: the fonts, the game window and its view,
// driven by real time. The shipped program is nothing but this; the
// benchmarks' build of it adds its measuring hooks.
#pragma once

#include <windows.h>

#include <functional>

namespace vorlane {
class Scheduler;
}

namespace vorlane::windows {

class Driver;

struct GameHooks {
  // Once the window's first frame is on screen.
  std::function<void()> firstFrame;
  // When the window has closed, before anything is destroyed.
  std::function<void(const Driver&, const Scheduler&)> closed;
};

// Runs the game until its window closes and returns the exit status. A
// start-up that fails says what failed in a message box and returns 2.
int runGame(HINSTANCE instance, const GameHooks& hooks = {});

}  // namespace vorlane::windows
