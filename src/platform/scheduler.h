// SPDX-License-Identifier: MIT
// Interval timers and the one scheduler that owns time.
//
// Ticks fire in time order, one handler at a time, each to completion. Tests
// move the clock by hand with advance(); the application's driver calls
// runDue() with the real monotonic time and sleeps until nextDue().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vorlane {

class Timer;

class Scheduler {
 public:
  using Micros = std::int64_t;

  // Desktop timers cannot tick faster than their resolution: shorter
  // intervals run at the resolution, longer ones as set.
  static constexpr Micros kDefaultResolution = 15'625;

  explicit Scheduler(Micros resolution = kDefaultResolution);
  Scheduler(const Scheduler&) = delete;
  Scheduler& operator=(const Scheduler&) = delete;
  ~Scheduler();

  Micros now() const { return now_; }
  Micros resolution() const { return resolution_; }

  // The earliest time at which an armed timer is due, if any timer is armed.
  std::optional<Micros> nextDue() const;

  // Simulated time: fires every tick due up to now() + span, in time order,
  // each at its own due time, then leaves the clock at now() + span.
  void advance(Micros span);
  void advanceMs(std::int64_t ms) { advance(ms * 1000); }

  // Real time: sets the clock to t (never backwards) and fires each timer
  // that is due by then once. A timer a little late keeps its rhythm; one
  // that fell a whole interval or more behind does not deliver the ticks it
  // missed, but waits a whole interval again from t.
  void runDue(Micros t);

  // Called whenever the earliest due time may have changed, so that a driver
  // can re-arm its wake-up.
  void setWakeupListener(std::function<void()> listener) { wakeup_ = std::move(listener); }

  // Called as each tick fires, just before its handler runs: a way to watch
  // the timers' real rhythm without touching the handlers.
  void setTickListener(std::function<void(const Timer&)> listener) {
    tickListener_ = std::move(listener);
  }

  // How many tick handlers have run since the scheduler was made.
  std::uint64_t ticksFired() const { return fired_; }

 private:
  friend class Timer;
  void attach(Timer* t);
  void detach(Timer* t);
  void rearm(Timer* t);
  Timer* earliest() const;
  void fire(Timer* t);
  void notify() const {
    if (wakeup_) wakeup_();
  }

  Micros resolution_;
  Micros now_ = 0;
  std::uint64_t fired_ = 0;
  std::vector<Timer*> timers_;  // in creation order, which breaks ties
  std::function<void()> wakeup_;
  std::function<void(const Timer&)> tickListener_;
};

// An interval timer: ticks every Interval ms while Enabled and Interval > 0.
class Timer {
 public:
  Timer(Scheduler& scheduler, int interval, bool enabled, std::function<void()> onTick);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();

  int interval() const { return interval_; }
  bool enabled() const { return enabled_; }
  // Setting the interval, or enabling a disabled timer, starts the wait afresh.
  void setInterval(int ms);
  void setEnabled(bool on);

  bool armed() const { return enabled_ && interval_ > 0; }
  std::optional<Scheduler::Micros> due() const {
    return armed() ? std::optional(due_) : std::nullopt;
  }

 private:
  friend class Scheduler;
  Scheduler::Micros period() const;

  Scheduler& scheduler_;
  int interval_;
  bool enabled_;
  Scheduler::Micros due_ = 0;
  std::function<void()> onTick_;
};

}  // namespace vorlane
