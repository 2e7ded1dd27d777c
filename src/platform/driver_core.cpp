// SPDX-License-Identifier: MIT
#include "platform/driver_core.h"

#include <algorithm>

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

void DriverCore::wake(std::optional<Scheduler::Micros> t) {
  // What is due next is armed afresh, and so is nothing: a repeating
  // wake-up is still pending after it came.
  armedFor_.reset();
  woke_ = true;
  if (!running_) run(t ? *t : source_.now());
}

void DriverCore::pump() {
  if (!running_) run(source_.now());
}

void DriverCore::run(Scheduler::Micros t) {
  running_ = true;
  scheduler_.runDue(t);
  running_ = false;
  rearm(t);
}

void DriverCore::rearm(std::optional<Scheduler::Micros> t) {
  const std::optional<Scheduler::Micros> due = scheduler_.nextDue();
  // Most changes leave the earliest tick where it was: nothing to do then.
  if (due == armedFor_ && !woke_) return;
  woke_ = false;
  armedFor_ = due;
  if (due) {
    source_.arm(*due, t ? *t : source_.now());
  } else {
    source_.disarm();
  }
}

Beat::Plan Beat::arm(Micros due, Micros t) {
  armedFor_ = due;
  const Micros last = wokeFor_;
  wokeFor_ = kNone;
  if (period_ > 0) {
    if (next_ >= due && next_ - due < kSlack) return {Plan::kKeep, 0};
    period_ = 0;
  }
  // Two equal spacings in a row make a beat; it starts now, a little
  // after the tick just run, so that it fires just after each next one.
  const Micros spacing = last == kNone ? 0 : due - last;
  const bool steady = spacing == spacing_ && spacing >= kShortest && spacing % 1000 == 0;
  spacing_ = spacing;
  if (steady && t + spacing - due < kSlack) {
    period_ = spacing;
    start_ = t;
    next_ = t + spacing;
    return {Plan::kEvery, spacing};
  }
  return {Plan::kOnce, due - t};
}

void Beat::disarm() {
  armedFor_ = kNone;
  wokeFor_ = kNone;
  period_ = 0;
}

Beat::Micros Beat::woke(Micros t) {
  if (period_ > 0) {
    // An interval fires just after its steps, but a busy page may skip some:
    // the step is the nearest one.
    const Micros k = (t - start_ + period_ / 2) / period_;
    next_ = start_ + (k + 1) * period_;
  }
  wokeFor_ = armedFor_;
  return armedFor_ == kNone ? t : std::max(t, armedFor_);
}

}  // namespace vorlane
