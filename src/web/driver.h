// SPDX-License-Identifier: MIT
// Runs the scheduler on the page's clock: one timeout sleeps until the next
// tick is due, and nothing is pending while no timer is armed (paused or
// over), so a page left alone costs nothing.
#pragma once

#include "platform/driver_core.h"
#include "platform/scheduler.h"

namespace vorlane::web {

class Driver final : public RealTimeDriver {
 public:
  explicit Driver(Scheduler& scheduler);
  ~Driver() override;

  // The scheduler's time now: where it stood when the driver started, plus
  // the page's monotonic time since.
  Scheduler::Micros now() const override;

  // The timeout fired. Ticks missed while the tab slept fire once each,
  // not in a burst (the scheduler's rule).
  void wake() { core_.wake(); }

 private:
  // WakeupSource: the page's one timeout.
  void arm(Scheduler::Micros due, Scheduler::Micros t) override;
  void disarm() override;

  double origin_;  // the page's clock at start_, in milliseconds
};

}  // namespace vorlane::web
