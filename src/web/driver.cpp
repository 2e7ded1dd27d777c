// SPDX-License-Identifier: MIT
#include "web/driver.h"

#include <algorithm>
#include <cmath>

#include "web/bridge.h"

namespace vorlane::web {

Driver::Driver(Scheduler& scheduler) : RealTimeDriver(scheduler), origin_(vl_now()) {
  core_.start();
}

Driver::~Driver() { vl_timeout_clear(); }

Scheduler::Micros Driver::now() const {
  const double elapsedMs = vl_now() - origin_;
  return start_ + static_cast<Scheduler::Micros>(std::floor(elapsedMs * 1000.0));
}

void Driver::arm(Scheduler::Micros due, Scheduler::Micros t) {
  // The page rounds the wait up to its clock's next whole step (bridge.js),
  // so the timeout never comes before the tick is due.
  const double waitMs = static_cast<double>(std::max<Scheduler::Micros>(due - t, 0)) / 1000.0;
  vl_timeout(waitMs);
}

void Driver::disarm() { vl_timeout_clear(); }

}  // namespace vorlane::web
