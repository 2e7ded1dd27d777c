// SPDX-License-Identifier: MIT
// Runs the scheduler on the page's clock: one timeout sleeps until the next
// tick is due, or one interval while a timer ticks steadily, and nothing is
// pending while no timer is armed (paused or over), so a page left alone
// costs nothing.
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

  // The timeout or interval fired. Ticks missed while the tab slept fire
  // once each, not in a burst (the scheduler's rule).
  void wake();

 private:
  // WakeupSource: the page's one timeout.
  void arm(Scheduler::Micros due, Scheduler::Micros t) override;
  void disarm() override;

  Scheduler::Micros clock() const;

  double origin_;  // the page's clock at start_, in milliseconds
  Beat beat_;
  // The time a wake-up's tick runs at: the page's clock is coarser than
  // its timers, and may read a little before the due time when they fire.
  Scheduler::Micros notBefore_ = 0;
};

}  // namespace vorlane::web
