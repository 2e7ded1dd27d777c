// SPDX-License-Identifier: MIT
#include "platform/driver_core.h"

namespace vorlane {

DriverCore::~DriverCore() { scheduler_.setWakeupListener(nullptr); }

void DriverCore::start() {
  // Handlers change timers many times within one run; the wake-up is set
  // once when the run is over, not at every change.
  scheduler_.setWakeupListener([this] {
    if (!running_) rearm(std::nullopt);
  });
  rearm(std::nullopt);
}

void DriverCore::wake() {
  armedFor_.reset();
  pump();
}

void DriverCore::pump() {
  if (running_) return;
  running_ = true;
  const Scheduler::Micros t = source_.now();
  scheduler_.runDue(t);
  running_ = false;
  rearm(t);
}

void DriverCore::rearm(std::optional<Scheduler::Micros> t) {
  const std::optional<Scheduler::Micros> due = scheduler_.nextDue();
  // Most changes leave the earliest tick where it was: nothing to do then.
  if (due == armedFor_) return;
  armedFor_ = due;
  if (due) {
    source_.arm(*due, t ? *t : source_.now());
  } else {
    source_.disarm();
  }
}

}  // namespace vorlane
