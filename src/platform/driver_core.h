// SPDX-License-Identifier: MIT
// Runs the scheduler on real time, whatever the platform: one one-shot
// wake-up sleeps until the next tick is due, nothing is pending while no
// timer is armed, and the wake-up is set once a run of handlers is over.
// Each platform lends its clock and its one-shot timer.
#pragma once

#include <optional>

#include "platform/scheduler.h"

namespace vorlane {

// What a platform lends the driver core.
class WakeupSource {
 public:
  virtual ~WakeupSource() = default;

  // The scheduler's time now.
  virtual Scheduler::Micros now() const = 0;
  // Sets the one wake-up for `due`, in place of any pending one; when it
  // comes, never before `due`, the platform calls DriverCore::wake(). `t`
  // is the time as the core last read it, for a timer that takes a delay.
  virtual void arm(Scheduler::Micros due, Scheduler::Micros t) = 0;
  // Nothing is to wake.
  virtual void disarm() = 0;
};

class DriverCore {
 public:
  DriverCore(Scheduler& scheduler, WakeupSource& source) : scheduler_(scheduler), source_(source) {}
  DriverCore(const DriverCore&) = delete;
  DriverCore& operator=(const DriverCore&) = delete;
  ~DriverCore();

  // Listens to the scheduler's changes and sets the wake-up for the earliest
  // due tick. Called once, when the source is ready to be armed.
  void start();

  // Fires every tick that is due by now, then sets the wake-up for the next.
  // Input calls this before it reaches the window, so that overdue ticks
  // come first and handlers see the time of the key or click. A call from
  // within a run (a handler's) does nothing.
  void pump();
  // The wake-up came; `t` is the time now if the source has just read it.
  void wake(std::optional<Scheduler::Micros> t = std::nullopt);

  // Whether a wake-up is pending.
  bool armed() const { return armedFor_.has_value(); }

 private:
  // Fires every tick due by `t`, then sets the wake-up for the next.
  void run(Scheduler::Micros t);
  // Sets the wake-up for the earliest due tick; `t` is the time now if the
  // caller has just read it.
  void rearm(std::optional<Scheduler::Micros> t);

  Scheduler& scheduler_;
  WakeupSource& source_;
  std::optional<Scheduler::Micros> armedFor_;  // the due time the wake-up waits for
  bool woke_ = false;                          // it came, and nothing is armed since
  bool running_ = false;
};

// Turns a run of evenly spaced ticks into one repeating wake-up. Setting a
// timeout is much of what a browser's tick costs; a timer ticking steadily
// (the game's gravity) is better woken by one interval set for the run.
// The interval is kept while each due tick is where it next fires, never
// before the tick and at most kSlack after; anything else stops it.
class Beat {
 public:
  using Micros = Scheduler::Micros;
  static constexpr Micros kShortest = 10'000;  // shorter beats get clamped by browsers
  static constexpr Micros kSlack = 2'000;

  // What a source does for arm(due, t).
  struct Plan {
    enum Kind { kKeep, kEvery, kOnce } kind;
    Micros wait;  // kEvery: the period; kOnce: the delay
  };
  Plan arm(Micros due, Micros t);
  // The wake-up was cleared.
  void disarm();
  // The wake-up came at `t`; returns the time its tick runs at: the due it
  // was set for at the earliest, for a clock coarser than the timer.
  Micros woke(Micros t);

 private:
  static constexpr Micros kNone = -1;
  Micros armedFor_ = kNone;  // the due the wake-up is set for
  Micros wokeFor_ = kNone;   // the due the last wake-up came for, until the next arm
  Micros spacing_ = 0;       // between the last two dues woken for in turn
  Micros period_ = 0;        // the interval's, 0 when none runs
  Micros start_ = 0;         // when it was set, at the earliest
  Micros next_ = 0;          // its next firing, at the earliest
};

// What every platform's driver shares: the core its wake-ups drive, the
// scheduler's time when it started, and the calls input makes.
class RealTimeDriver : protected WakeupSource {
 public:
  RealTimeDriver(const RealTimeDriver&) = delete;
  RealTimeDriver& operator=(const RealTimeDriver&) = delete;

  // Fires every tick that is due by now. Input calls this before it reaches
  // the window, so that overdue ticks come first and handlers see the time
  // of the key or click.
  void pump() { core_.pump(); }

  // Whether a wake-up is pending.
  bool armed() const { return core_.armed(); }

 protected:
  explicit RealTimeDriver(Scheduler& scheduler)
      : start_(scheduler.now()), core_(scheduler, *this) {}
  ~RealTimeDriver() override = default;

  Scheduler::Micros start_;  // the scheduler's time when the driver started
  DriverCore core_;
};

}  // namespace vorlane
