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

Scheduler::Micros Driver::clock() const {
  const double elapsedMs = vl_now() - origin_;
  return start_ + static_cast<Scheduler::Micros>(std::floor(elapsedMs * 1000.0));
}

Scheduler::Micros Driver::now() const { return std::max(clock(), notBefore_); }

void Driver::wake() {
  // The page's clock is read once a wake-up: each reading is a call out to
  // the page, a cost at every tick.
  notBefore_ = beat_.woke(clock());
  core_.wake(notBefore_);
}

void Driver::arm(Scheduler::Micros due, Scheduler::Micros t) {
  const Beat::Plan plan = beat_.arm(due, t);
  if (plan.kind == Beat::Plan::kEvery) {
    vl_timeout_every(static_cast<int>(plan.wait / 1000));
  } else if (plan.kind == Beat::Plan::kOnce) {
    // The page rounds the wait up to its clock's next whole step (bridge.js),
    // so the timeout never comes before the tick is due.
    vl_timeout(static_cast<double>(std::max<Scheduler::Micros>(plan.wait, 0)) / 1000.0);
  }
}

void Driver::disarm() {
  beat_.disarm();
  vl_timeout_clear();
}

}  // namespace vorlane::web
