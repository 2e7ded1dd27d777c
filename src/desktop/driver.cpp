// SPDX-License-Identifier: MIT
#include "desktop/driver.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cstdint>
#include <limits>

#if defined(Q_OS_LINUX)
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace vorlane::desktop {

Driver::Driver(Scheduler& scheduler, QObject* parent)
    : QObject(parent), RealTimeDriver(scheduler), origin_(std::chrono::steady_clock::now()) {
#if defined(Q_OS_LINUX)
  // steady_clock is CLOCK_MONOTONIC here, so due times map onto it exactly.
  timerFd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ >= 0) {
    notifier_ = new QSocketNotifier(static_cast<qintptr>(timerFd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
      std::uint64_t expirations = 0;
      while (read(timerFd_, &expirations, sizeof expirations) > 0) {
      }
      core_.wake();
    });
  }
#endif
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { core_.wake(); });
  core_.start();
}

Driver::~Driver() {
#if defined(Q_OS_LINUX)
  if (timerFd_ >= 0) {
    delete notifier_;
    close(timerFd_);
  }
#endif
}

Scheduler::Micros Driver::now() const {
  const auto elapsed = std::chrono::steady_clock::now() - origin_;
  return start_ + std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
}

void Driver::arm(Scheduler::Micros due, Scheduler::Micros /*t*/) {
#if defined(Q_OS_LINUX)
  if (timerFd_ >= 0) {
    // An absolute time, so that the time spent getting here does not count.
    itimerspec when{};
    const auto at = (origin_ + std::chrono::microseconds(due - start_)).time_since_epoch();
    const auto ns =
        std::max<std::int64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(at).count(), 1);
    when.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    when.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &when, nullptr);
    return;
  }
#endif
  // Rounded up, so that the wake-up never comes before the tick is due;
  // from the clock read afresh, as handlers may have run since `t`.
  const Scheduler::Micros wait = std::max<Scheduler::Micros>(due - now(), 0);
  const Scheduler::Micros ms =
      std::min<Scheduler::Micros>((wait + 999) / 1000, std::numeric_limits<int>::max());
  timer_.start(static_cast<int>(ms));
}

void Driver::disarm() {
#if defined(Q_OS_LINUX)
  if (timerFd_ >= 0) {
    const itimerspec zero{};  // zero disarms
    timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &zero, nullptr);
    return;
  }
#endif
  timer_.stop();
}

}  // namespace vorlane::desktop
