// SPDX-License-Identifier: MIT
// Starting the game on the desktop: the Qt application, the game window and
// its view, driven by real time. The shipped program is nothing but this;
// the benchmarks' build of it adds its measuring hooks through `beforeShow`.
#pragma once

#include <functional>

namespace vorlane {

class Form1;
class Scheduler;
namespace desktop {
class View;
}

// What a hook may attach to once everything is made.
struct RunningGame {
  Scheduler& scheduler;
  const Form1& form;
  desktop::View& view;
};

// Runs the game until its window closes and returns the exit status. Exits
// with status 2 and one line on stderr when no window can be opened.
// `beforeShow`, when given, is called once, after the game and its view are
// made and before the first show.
int runGame(int argc, char** argv, const std::function<void(RunningGame&)>& beforeShow = {});

}  // namespace vorlane
