// SPDX-License-Identifier: MIT
#include "web/driver.h"

#include <algorithm>
#include <cmath>

#include "web/bridge.h"

namespace vorlane::web {

Driver::Driver(Scheduler& scheduler)
    : start_(scheduler.now()), origin_(vl_now()), core_(scheduler, *this) {
  core_.start();
}

Driver::~Driver() { vl_timeout_clear(); }

Scheduler::Micros Driver::now() const {
  const double elapsedMs = vl_now() - origin_;
  return start_ + static_cast<Scheduler::Micros>(std::floor(elapsedMs * 1000.0));
}

void Driver::arm(Scheduler::Micros due, Scheduler::Micros t) {
  // Rounded up to the page clock's next whole step, so that the timeout
  // does not come before the tick is due.
  const double waitMs = static_cast<double>(std::max<Scheduler::Micros>(due - t, 0)) / 1000.0;
  vl_timeout(waitMs);
}

void Driver::disarm() { vl_timeout_clear(); }

}  // namespace vorlane::web
