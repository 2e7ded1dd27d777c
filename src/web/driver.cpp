// SPDX-License-Identifier: MIT
#include "web/driver.h"

#include <algorithm>
#include <cmath>

#include "web/bridge.h"

namespace vorlane::web {

Driver::Driver(Scheduler& scheduler)
    : scheduler_(scheduler), start_(scheduler.now()), origin_(vl_now()) {
  // Handlers change timers many times within one run; the timeout is set
  // once when the run is over, not at every change.
  scheduler_.setWakeupListener([this] {
    if (!running_) rearm(now());
  });
  rearm(now());
}

Driver::~Driver() {
  scheduler_.setWakeupListener(nullptr);
  vl_timeout_clear();
}

Scheduler::Micros Driver::now() const {
  const double elapsedMs = vl_now() - origin_;
  return start_ + static_cast<Scheduler::Micros>(std::floor(elapsedMs * 1000.0));
}

void Driver::wake() {
  armedFor_.reset();
  pump();
}

void Driver::pump() {
  if (running_) return;
  running_ = true;
  const Scheduler::Micros t = now();
  scheduler_.runDue(t);
  running_ = false;
  rearm(t);
}

void Driver::rearm(Scheduler::Micros t) {
  const std::optional<Scheduler::Micros> due = scheduler_.nextDue();
  // Most changes leave the earliest tick where it was: nothing to do then.
  if (due == armedFor_) return;
  armedFor_ = due;
  if (!due) {
    vl_timeout_clear();
    return;
  }
  // Rounded up to the page clock's next whole step, so that the timeout
  // does not come before the tick is due.
  const double waitMs = static_cast<double>(std::max<Scheduler::Micros>(*due - t, 0)) / 1000.0;
  vl_timeout(waitMs);
}

}  // namespace vorlane::web
