// SPDX-License-Identifier: MIT
// The steps of a scene that the views' scene renderers draw: a
// space-separated list of aN (advance the clock N ms) and kN (key code N
// down), played on a headless game.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/scheduler.h"
#include "platform/window.h"

namespace vorlane {

// Plays `steps`; false, with a line on stderr, at a step it does not know.
inline bool playSceneSteps(Scheduler& scheduler, Window& window, const char* steps) {
  std::istringstream in(steps);
  std::string step;
  while (in >> step) {
    const long value = std::strtol(step.c_str() + 1, nullptr, 10);
    if (step[0] == 'a') {
      scheduler.advanceMs(value);
    } else if (step[0] == 'k') {
      window.keyDown(static_cast<std::uint16_t>(value), 0);
    } else {
      std::fprintf(stderr, "bad scene step %s\n", step.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace vorlane
