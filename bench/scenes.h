// SPDX-License-Identifier: MIT
// Headless games set up for the tick measurements: a game in play with the
// curtain open and the intro over, so that a scheduler step of 50 ms fires
// exactly one gravity tick and nothing else.
#pragma once

#include <cstdlib>

#include "harness.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane::bench {

struct Playing {
  Playing() { start(); }
  // Loaded by a later start(), so that a view can observe the window first.
  struct Unstarted {};
  explicit Playing(Unstarted /*tag*/) {}

  // The intro and the curtain run on their own timers; play goes on
  // underneath until both have stopped.
  void start() { test::startPlaying(scheduler, form); }

  // One step of the scheduler: exactly one gravity tick.
  void tick() { scheduler.advanceMs(50); }

  // The falling piece high in an empty well, where a gravity step moves it
  // without landing it.
  void armGravity() {
    form.piece = 17;  // T
    form.turn = 1;
    form.px = 3;
    form.py = 2;
    form.speed = 0.1F;
  }

  // The next gravity tick locks an I and removes four rows.
  void armFourRowLock() { test::armFourRowLock(form); }

  // Aborts when a lock did not remove the four rows it was set up for, so
  // that a change of the game cannot silently measure something else.
  void expectRows(unsigned before, unsigned removed) const {
    if (form.rows.value() != (before + removed) % 1000) std::abort();
  }

  Scheduler scheduler;
  Random random{3.0F};
  Form1 form{scheduler, random, [] { return 3.0F; }};
};

}  // namespace vorlane::bench
