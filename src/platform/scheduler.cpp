// SPDX-License-Identifier: MIT
#include "platform/scheduler.h"

#include <algorithm>
#include <utility>

namespace vorlane {

Scheduler::Scheduler(Micros resolution) : resolution_(resolution > 0 ? resolution : 1) {}

Scheduler::~Scheduler() = default;

void Scheduler::attach(Timer* t) {
  timers_.push_back(t);
  if (t->armed()) notify();
}

void Scheduler::detach(Timer* t) {
  const auto it = std::find(timers_.begin(), timers_.end(), t);
  if (it != timers_.end()) timers_.erase(it);
  notify();
}

void Scheduler::rearm(Timer* t) {
  t->due_ = now_ + t->period();
  notify();
}

Timer* Scheduler::earliest() const {
  Timer* best = nullptr;
  for (Timer* t : timers_) {
    if (t->armed() && (best == nullptr || t->due_ < best->due_)) best = t;
  }
  return best;
}

std::optional<Scheduler::Micros> Scheduler::nextDue() const {
  const Timer* t = earliest();
  return t != nullptr ? std::optional(t->due_) : std::nullopt;
}

void Scheduler::fire(Timer* t) {
  // The next due time is set before the handler runs, so that a handler that
  // changes its own timer has the last word.
  t->due_ += t->period();
  if (t->due_ <= now_) t->due_ = now_ + t->period();
  ++fired_;
  if (tickListener_) tickListener_(*t);
  t->onTick_();
}

void Scheduler::advance(Micros span) {
  const Micros end = now_ + std::max<Micros>(span, 0);
  for (Timer* t = earliest(); t != nullptr && t->due_ <= end; t = earliest()) {
    now_ = std::max(now_, t->due_);
    fire(t);
  }
  now_ = end;
  notify();
}

void Scheduler::runDue(Micros t) {
  now_ = std::max(now_, t);
  // Each timer due by now fires once: after firing, its next due time lies
  // past now, so the loop ends. Handlers may create or destroy timers, so the
  // list is searched afresh after every tick.
  for (Timer* next = earliest(); next != nullptr && next->due_ <= now_; next = earliest()) {
    fire(next);
  }
  notify();
}

Timer::Timer(Scheduler& scheduler, int interval, bool enabled, std::function<void()> onTick)
    : scheduler_(scheduler), interval_(interval), enabled_(enabled), onTick_(std::move(onTick)) {
  due_ = scheduler_.now() + period();
  scheduler_.attach(this);
}

Timer::~Timer() { scheduler_.detach(this); }

Scheduler::Micros Timer::period() const {
  const Scheduler::Micros asSet = static_cast<Scheduler::Micros>(interval_) * 1000;
  return std::max(asSet, scheduler_.resolution());
}

void Timer::setInterval(int ms) {
  interval_ = ms;
  scheduler_.rearm(this);
}

void Timer::setEnabled(bool on) {
  const bool wasEnabled = enabled_;
  enabled_ = on;
  if (on && !wasEnabled) {
    scheduler_.rearm(this);
  } else if (on != wasEnabled) {
    scheduler_.notify();
  }
}

}  // namespace vorlane
