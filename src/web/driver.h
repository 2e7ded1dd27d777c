// SPDX-License-Identifier: MIT
// Runs the scheduler on the page's clock: one timeout sleeps until the next
// tick is due, and nothing is pending while no timer is armed (paused or
// over), so a page left alone costs nothing.
#pragma once

#include <optional>

#include "platform/scheduler.h"

namespace vorlane::web {

class Driver {
 public:
  explicit Driver(Scheduler& scheduler);
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  ~Driver();

  // The scheduler's time now: where it stood when the driver started, plus
  // the page's monotonic time since.
  Scheduler::Micros now() const;

  // Fires every tick that is due by now. Input calls this before it reaches
  // the window, so that overdue ticks come first and handlers see the time
  // of the key or click. Ticks missed while the tab slept fire once each,
  // not in a burst (the scheduler's rule).
  void pump();
  // The timeout fired.
  void wake();

  // Whether a timeout is pending.
  bool armed() const { return armedFor_.has_value(); }

 private:
  // Sets the timeout for the earliest due tick, `t` being the time now.
  void rearm(Scheduler::Micros t);

  Scheduler& scheduler_;
  Scheduler::Micros start_;
  double origin_;                              // the page's clock at start_, in milliseconds
  std::optional<Scheduler::Micros> armedFor_;  // the due time the timeout waits for
  bool running_ = false;
};

}  // namespace vorlane::web
