// SPDX-License-Identifier: MIT
// Runs the scheduler on the page's clock: one timeout sleeps until the next
// tick is due, and nothing is pending while no timer is armed (paused or
// over), so a page left alone costs nothing.
#pragma once

#include "platform/driver_core.h"
#include "platform/scheduler.h"

namespace vorlane::web {

class Driver final : private WakeupSource {
 public:
  explicit Driver(Scheduler& scheduler);
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;
  ~Driver() override;

  // The scheduler's time now: where it stood when the driver started, plus
  // the page's monotonic time since.
  Scheduler::Micros now() const override;

  // Fires every tick that is due by now. Input calls this before it reaches
  // the window, so that overdue ticks come first and handlers see the time
  // of the key or click. Ticks missed while the tab slept fire once each,
  // not in a burst (the scheduler's rule).
  void pump() { core_.pump(); }
  // The timeout fired.
  void wake() { core_.wake(); }

  // Whether a timeout is pending.
  bool armed() const { return core_.armed(); }

 private:
  // WakeupSource: the page's one timeout.
  void arm(Scheduler::Micros due, Scheduler::Micros t) override;
  void disarm() override;

  Scheduler::Micros start_;
  double origin_;  // the page's clock at start_, in milliseconds
  DriverCore core_;
};

}  // namespace vorlane::web
