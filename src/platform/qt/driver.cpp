#include "platform/qt/driver.h"

#include <algorithm>
#include <limits>

namespace vorlane::qt {

Driver::Driver(Scheduler& scheduler, QObject* parent)
    : QObject(parent), scheduler_(scheduler), start_(scheduler.now()) {
  clock_.start();
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    armedFor_.reset();
    pump();
  });
  // Handlers change timers many times within one run; the wake-up is set
  // once when the run is over, not at every change.
  scheduler_.setWakeupListener([this] {
    if (!running_) rearm();
  });
  rearm();
}

Driver::~Driver() { scheduler_.setWakeupListener(nullptr); }

Scheduler::Micros Driver::now() const { return start_ + clock_.nsecsElapsed() / 1000; }

void Driver::pump() {
  if (running_) return;
  running_ = true;
  scheduler_.runDue(now());
  running_ = false;
  rearm();
}

void Driver::rearm() {
  const std::optional<Scheduler::Micros> due = scheduler_.nextDue();
  if (!due) {
    timer_.stop();
    armedFor_.reset();
    return;
  }
  // Most changes leave the earliest tick where it was: nothing to do then.
  if (timer_.isActive() && armedFor_ == due) return;
  // Rounded up, so that the wake-up never comes before the tick is due.
  const Scheduler::Micros wait = std::max<Scheduler::Micros>(*due - now(), 0);
  const Scheduler::Micros ms =
      std::min<Scheduler::Micros>((wait + 999) / 1000, std::numeric_limits<int>::max());
  timer_.start(static_cast<int>(ms));
  armedFor_ = due;
}

}  // namespace vorlane::qt
