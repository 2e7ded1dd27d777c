// SPDX-License-Identifier: MIT
// Runs the scheduler on real time: one precise single-shot wake-up sleeps
// until the next tick is due, and nothing wakes while no timer is armed.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

#include "platform/driver_core.h"
#include "platform/scheduler.h"

class QSocketNotifier;

namespace vorlane::desktop {

class Driver final : public QObject, public RealTimeDriver {
  Q_OBJECT

 public:
  explicit Driver(Scheduler& scheduler, QObject* parent = nullptr);
  ~Driver() override;

  // The scheduler's time now: where it stood when the driver started, plus
  // the monotonic time since.
  Scheduler::Micros now() const override;

 private:
  // WakeupSource: the timerfd, or the QTimer.
  void arm(Scheduler::Micros due, Scheduler::Micros t) override;
  void disarm() override;

  std::chrono::steady_clock::time_point origin_;  // the monotonic time at start_
  // On Linux a timerfd wakes the event loop at the due microsecond; Qt's
  // timers count whole milliseconds, which would make each tick up to a
  // millisecond late by an amount that changes from tick to tick. Elsewhere,
  // or should the timerfd be refused, a precise QTimer does the job.
  int timerFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QTimer timer_;
};

}  // namespace vorlane::desktop
