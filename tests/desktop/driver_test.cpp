// SPDX-License-Identifier: MIT
// The scheduler on real time.
#include "desktop/driver.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <chrono>
#include <thread>

#include "platform/scheduler.h"

namespace vorlane::desktop {
namespace {

// Runs the event loop until a timer of its own on another scheduler has
// ticked `ticks` times at `intervalMs`: real time has passed, and the event
// loop has served timers all along, however slowly the machine runs.
void serveTimersFor(int ticks, int intervalMs) {
  Scheduler scheduler;
  Driver driver(scheduler);
  int witnessed = 0;
  Timer witness(scheduler, intervalMs, true, [&] { ++witnessed; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return witnessed >= ticks; }, 10'000));
}

TEST(Driver, TicksOnTimeFromTheEventLoop) {
  Scheduler scheduler;
  Driver driver(scheduler);
  int ticks = 0;
  Timer timer(scheduler, 20, true, [&] { ++ticks; });
  EXPECT_TRUE(driver.armed());
  QElapsedTimer clock;
  clock.start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 10'000));
  EXPECT_GE(clock.elapsed(), 3 * 20 - 1);
  // The scheduler's clock follows the real one.
  EXPECT_GE(scheduler.now(), 3 * 20'000);
}

TEST(Driver, SleepsWhileNoTimerIsArmed) {
  Scheduler scheduler;
  Driver driver(scheduler);
  EXPECT_FALSE(driver.armed());
  int ticks = 0;
  Timer timer(scheduler, 0, true, [&] { ++ticks; });
  EXPECT_FALSE(driver.armed());  // interval 0 never ticks
  timer.setInterval(30);
  EXPECT_TRUE(driver.armed());
  timer.setEnabled(false);
  EXPECT_FALSE(driver.armed());
  serveTimersFor(2, 30);
  EXPECT_EQ(ticks, 0);
}

TEST(Driver, PumpDeliversOverdueTicksOnceBeforeInput) {
  Scheduler scheduler;
  Driver driver(scheduler);
  int ticks = 0;
  Timer timer(scheduler, 10, true, [&] { ++ticks; });
  // Busy for five intervals without the event loop: the timer ticks once
  // when input comes, and does not catch up on the ticks it missed.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  driver.pump();
  EXPECT_EQ(ticks, 1);
  EXPECT_GE(scheduler.now(), 50'000);
  EXPECT_EQ(timer.due(), scheduler.now() + 15'625);  // a whole interval, at the resolution
  EXPECT_TRUE(driver.armed());
}

TEST(Driver, StopsListeningWhenDestroyed) {
  Scheduler scheduler;
  int ticks = 0;
  { Driver driver(scheduler); }
  // Changing timers with no driver must not call into the destroyed one.
  Timer timer(scheduler, 10, true, [&] { ++ticks; });
  timer.setInterval(20);
  serveTimersFor(2, 20);
  EXPECT_EQ(ticks, 0);
}

}  // namespace
}  // namespace vorlane::desktop
