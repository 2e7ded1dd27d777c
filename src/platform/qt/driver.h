// Runs the scheduler on real time: one precise single-shot QTimer sleeps
// until the next tick is due, and nothing wakes while no timer is armed.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <optional>

#include "platform/scheduler.h"

namespace vorlane::qt {

class Driver final : public QObject {
  Q_OBJECT

 public:
  explicit Driver(Scheduler& scheduler, QObject* parent = nullptr);
  ~Driver() override;

  // The scheduler's time now: where it stood when the driver started, plus
  // the monotonic time since.
  Scheduler::Micros now() const;

  // Fires every tick that is due by now. Input calls this before it reaches
  // the window, so that overdue ticks come first and handlers see the time
  // of the key or click.
  void pump();

  // Whether a wake-up is pending.
  bool armed() const { return timer_.isActive(); }

 private:
  void rearm();

  Scheduler& scheduler_;
  Scheduler::Micros start_;
  QElapsedTimer clock_;
  QTimer timer_;
  std::optional<Scheduler::Micros> armedFor_;  // the due time the QTimer waits for
  bool running_ = false;
};

}  // namespace vorlane::qt
