// Headless games set up for the tick measurements: a game in play with the
// curtain open and the intro over, so that a scheduler step of 50 ms fires
// exactly one gravity tick and nothing else.
#pragma once

#include <cstdlib>

#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane::bench {

constexpr int cellAt(int row, int column) { return 12 * row + column + 1; }

struct Playing {
  Playing() { start(); }
  // Loaded by a later start(), so that a view can observe the window first.
  struct Unstarted {};
  explicit Playing(Unstarted /*tag*/) {}

  void start() {
    form.show();
    // The intro and the curtain run on their own timers; play goes on
    // underneath until both have stopped.
    while (form.Timer2().interval() != 0 || form.Timer3().interval() != 0) scheduler.advanceMs(50);
  }

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

  // Rows 17 to 20 full but for column 6 and an upright I above that gap,
  // falling fast: the next gravity tick locks it and removes four rows
  // (its top block stays behind in row 16 and comes down to row 20).
  void armFourRowLock() {
    for (int row = 1; row <= 20; ++row) {
      for (int column = 1; column <= 10; ++column) {
        Rectangle& cell = form.Shape2(cellAt(row, column));
        cell.setVisible(row >= 17 && column != 6);
        cell.setBackColor(rgb(200, 120, 80));
        cell.setFillStyle(7);
      }
    }
    form.piece = 1;  // I, upright in box column 3
    form.turn = 1;
    form.px = 3;
    form.py = 14;
    form.speed = 1;
  }

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
