// SPDX-License-Identifier: MIT
// The real-time driver's core on a clock and a one-shot timer of the test's
// own: what it arms, when it disarms, and that a run never nests; and the
// beat that wakes a steady timer by one interval.
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
  Micros now() const override {
    ++reads;
    return clock;
  }
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
  mutable int reads = 0;  // of the clock
};

struct DriverCoreTest : ::testing::Test {
  Scheduler scheduler;
  FakeSource source;
  DriverCore core{scheduler, source};
};

TEST_F(DriverCoreTest, AWakeThatBringsItsTimeRunsAtItWithoutReadingTheClock) {
  core.start();
  int ticks = 0;
  Timer timer(scheduler, 20, true, [&] { ++ticks; });
  source.clock = 19'900;  // a coarse clock, just short of the due time
  const int reads = source.reads;
  core.wake(20'000);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(source.reads, reads);
  EXPECT_EQ(source.armedAt, 40'000);
  EXPECT_EQ(source.armTimes.back(), 20'000);
}

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
  // A last tick that stops its timer: the wake-up is cleared all the same,
  // as a repeating one would still be pending.
  Timer last(scheduler, 20, true, [&] { last.setEnabled(false); });
  source.clock = 120'000;
  core.wake();
  EXPECT_FALSE(core.armed());
  EXPECT_EQ(source.disarms, 2);
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

// The game's gravity: dues every 50 ms, each wake-up a little late.
TEST(BeatTest, WakesASteadyTimerByOneIntervalNeverBeforeItsTick) {
  using Plan = Beat::Plan;
  Beat beat;
  const auto is = [](Plan p, Plan::Kind kind, Micros wait) {
    return p.kind == kind && (kind == Plan::kKeep || p.wait == wait);
  };
  EXPECT_TRUE(is(beat.arm(50'000, 0), Plan::kOnce, 50'000));
  EXPECT_EQ(beat.woke(50'300), 50'300);
  // One spacing is not yet a beat; two equal ones are.
  EXPECT_TRUE(is(beat.arm(100'000, 50'300), Plan::kOnce, 49'700));
  EXPECT_EQ(beat.woke(100'200), 100'200);
  EXPECT_TRUE(is(beat.arm(150'000, 100'200), Plan::kEvery, 50'000));
  // A clock that reads before the due when the interval fires: the tick
  // still runs at its due, and the interval stays.
  EXPECT_EQ(beat.woke(149'950), 150'000);
  EXPECT_TRUE(is(beat.arm(200'000, 150'000), Plan::kKeep, 0));
  EXPECT_EQ(beat.woke(200'250), 200'250);
  EXPECT_TRUE(is(beat.arm(250'000, 200'250), Plan::kKeep, 0));
  // A busy page skipped a firing: the tick runs late, the scheduler's next
  // due lands on the interval's next step, and it stays.
  EXPECT_EQ(beat.woke(300'200), 300'200);
  EXPECT_TRUE(is(beat.arm(350'200, 300'200), Plan::kKeep, 0));
  // A due between its steps (the timer restarted) stops it...
  EXPECT_EQ(beat.woke(350'300), 350'300);
  EXPECT_TRUE(is(beat.arm(380'000, 350'300), Plan::kOnce, 29'700));
  // ...so does a wake-up later than the slack, and clearing.
  EXPECT_EQ(beat.woke(380'100), 380'100);
  EXPECT_TRUE(is(beat.arm(430'000, 380'100), Plan::kOnce, 49'900));
  EXPECT_EQ(beat.woke(433'000), 433'000);
  EXPECT_TRUE(is(beat.arm(480'000, 433'000), Plan::kOnce, 47'000));
  beat.disarm();
  EXPECT_TRUE(is(beat.arm(500'000, 481'000), Plan::kOnce, 19'000));
}

}  // namespace
}  // namespace vorlane
