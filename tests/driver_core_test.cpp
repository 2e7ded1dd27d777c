// SPDX-License-Identifier: MIT
// The real-time driver's core on a clock and a one-shot timer of the test's
// own: what it arms, when it disarms, and that a run never nests.
#include "platform/driver_core.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/scheduler.h"

namespace vorlane {
namespace {

using Micros = Scheduler::Micros;

// A clock moved by hand and a timer that records what it is told; it
// "fires" when the test calls core.wake().
struct FakeSource final : WakeupSource {
  Micros now() const override { return clock; }
  void arm(Micros due, Micros t) override {
    armedAt = due;
    armTimes.push_back(t);
    ++arms;
  }
  void disarm() override {
    armedAt.reset();
    ++disarms;
  }

  Micros clock = 0;
  std::optional<Micros> armedAt;
  std::vector<Micros> armTimes;  // the time the core passed with each arm
  int arms = 0;
  int disarms = 0;
};

struct DriverCoreTest : ::testing::Test {
  Scheduler scheduler;
  FakeSource source;
  DriverCore core{scheduler, source};
};

TEST_F(DriverCoreTest, ArmsForTheNextDueTickAndRearmsAfterEachWake) {
  core.start();
  EXPECT_FALSE(core.armed());
  EXPECT_EQ(source.arms, 0);

  int ticks = 0;
  Timer timer(scheduler, 20, true, [&] { ++ticks; });
  EXPECT_TRUE(core.armed());
  EXPECT_EQ(source.armedAt, 20'000);
  // A later timer leaves the earliest due time where it was: no new arm.
  Timer later(scheduler, 50, true, [] {});
  EXPECT_EQ(source.arms, 1);

  // The wake-up comes a little late: the tick fires at the clock's time
  // and the timer's next one is armed, with the time the run began.
  source.clock = 20'300;
  core.wake();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(scheduler.now(), 20'300);
  EXPECT_EQ(source.armedAt, 40'000);
  EXPECT_EQ(source.armTimes.back(), 20'300);

  // A pump before the tick is due fires nothing and arms nothing new.
  source.clock = 30'000;
  core.pump();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(source.arms, 2);
}

TEST_F(DriverCoreTest, DisarmsWhenNoTimerIsArmed) {
  Timer timer(scheduler, 0, true, [] {});
  core.start();
  EXPECT_FALSE(core.armed());
  timer.setInterval(30);
  EXPECT_TRUE(core.armed());
  EXPECT_EQ(source.armedAt, 30'000);
  timer.setEnabled(false);
  EXPECT_FALSE(core.armed());
  EXPECT_EQ(source.armedAt, std::nullopt);
  EXPECT_EQ(source.disarms, 1);
  // Nothing to wake: a pump leaves it disarmed, with no second disarm.
  source.clock = 100'000;
  core.pump();
  EXPECT_FALSE(core.armed());
  EXPECT_EQ(source.disarms, 1);
}

TEST_F(DriverCoreTest, NeverRunsTwiceAtOnceAndArmsOnceTheRunIsOver) {
  core.start();
  int ticks = 0;
  int armsDuringRun = -1;
  Timer other(scheduler, 500, true, [] {});
  Timer timer(scheduler, 20, true, [&] {
    ++ticks;
    // A handler's input pumps: nothing runs within the run...
    core.pump();
    // ...and the timers it changes are armed for once the run is over.
    other.setInterval(100);
    timer.setInterval(200);
    armsDuringRun = source.arms;
  });
  const int armsBefore = source.arms;
  source.clock = 20'000;
  core.wake();
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(armsDuringRun, armsBefore);
  EXPECT_EQ(source.arms, armsBefore + 1);
  EXPECT_EQ(source.armedAt, 120'000);  // the other timer, restarted at 20 ms
}

TEST_F(DriverCoreTest, StopsListeningWhenDestroyed) {
  std::optional<DriverCore> temporary;
  temporary.emplace(scheduler, source);
  temporary->start();
  temporary.reset();
  // Changing timers with no core must not call into the destroyed one.
  Timer timer(scheduler, 10, true, [] {});
  EXPECT_EQ(source.arms, 0);
}

}  // namespace
}  // namespace vorlane
