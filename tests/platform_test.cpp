// SPDX-License-Identifier: MIT
// The control model under the game: control arrays, drawing order, the
// window's unload and show, the scheduler and its timers, and the random
// source with its colour rule.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bare_window.h"
#include "harness.h"
#include "platform/control_array.h"
#include "platform/controls.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "platform/window.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;
using Micros = Scheduler::Micros;

using test::BareWindow;

const Rectangle::Look kLook{
    .backColor = rgb(1, 2, 3), .borderColor = rgb(4, 5, 6), .borderWidth = 4, .fillStyle = 7};

// --- Control arrays --------------------------------------------------------

TEST(ControlArray, NewElementIsAHiddenCopyOfTheTemplateAsItStandsNow) {
  Scheduler s;
  BareWindow w(s);
  RectangleArray shape(w, "Shape9", {10, 20, 30, 40, true}, kLook);
  shape(0).setWidth(292);  // start-up sizes the template before making elements
  shape.load(3);

  const Rectangle& e = shape(3);
  EXPECT_FALSE(e.visible());
  EXPECT_EQ(e.index(), 3);
  EXPECT_EQ(e.name(), "Shape9");
  EXPECT_EQ(e.left(), 10);
  EXPECT_EQ(e.top(), 20);
  EXPECT_EQ(e.width(), 292);
  EXPECT_EQ(e.height(), 40);
  EXPECT_EQ(e.backColor(), kLook.backColor);
  EXPECT_EQ(e.borderColor(), kLook.borderColor);
  EXPECT_EQ(e.borderWidth(), 4);
  EXPECT_EQ(e.fillStyle(), 7);
  EXPECT_EQ(shape.count(), 2);
  EXPECT_FALSE(shape.exists(1));

  // Elements are addressed by number and are independent of the template.
  shape(0).setBackColor(rgb(9, 9, 9));
  EXPECT_EQ(shape(3).backColor(), kLook.backColor);
}

TEST(ControlArray, MisuseFailsLoudlyNamingArrayAndElement) {
  Scheduler s;
  BareWindow w(s);
  RectangleArray shape(w, "Shape9", {}, kLook);
  shape.load(1);
  EXPECT_THAT([&] { shape(5); }, ThrowsMessage<std::out_of_range>(HasSubstr("Shape9(5)")));
  EXPECT_THAT([&] { shape(-1); }, ThrowsMessage<std::out_of_range>(HasSubstr("Shape9(-1)")));
  EXPECT_THAT([&] { shape.load(1); },
              ThrowsMessage<std::logic_error>(HasSubstr("Shape9(1) already exists")));
  EXPECT_THROW(shape.load(0), std::logic_error);
  EXPECT_EQ(shape.count(), 2);
}

// --- Drawing order ---------------------------------------------------------

TEST(DrawingOrder, RectanglesAndLabelsLieBelowButtonsAndPanelsEachLayerRaisedOnItsOwn) {
  Scheduler s;
  BareWindow w(s);
  Rectangle a(w, "a", {}, kLook);
  Label label(w, "label", {}, "text", {});
  PushButton button(w, "button", {}, "B", {}, 0, {});
  Panel panel(w, "panel", {}, rgb(0, 0, 0));
  Rectangle inner(w, "inner", {}, kLook, &panel);
  Rectangle inner2(w, "inner2", {}, kLook, &panel);
  Rectangle b(w, "b", {}, kLook);

  EXPECT_THAT(w.surface(), ElementsAre(&a, &label, &b));
  EXPECT_THAT(w.widgets(), ElementsAre(&button, &panel));
  EXPECT_THAT(panel.children(), ElementsAre(&inner, &inner2));

  a.bringToFront();
  button.bringToFront();
  inner.bringToFront();
  EXPECT_THAT(w.surface(), ElementsAre(&label, &b, &a));
  EXPECT_THAT(w.widgets(), ElementsAre(&panel, &button));
  EXPECT_THAT(panel.children(), ElementsAre(&inner2, &inner));
  {
    Rectangle temporary(w, "t", {}, kLook);
    EXPECT_EQ(w.surface().back(), &temporary);
  }
  EXPECT_EQ(w.surface().size(), 3U);
}

TEST(DrawingOrder, SelfSizingLabelGrowsToTheRightKeepingItsLeft) {
  test::PerCharacterMetrics metrics;
  Scheduler s;
  BareWindow w(s);
  w.setTextMetrics(&metrics);
  Label::Look look;
  look.autoSize = true;
  Label label(w, "label", {3720, 3120, 1, 1, true}, "Rows:000", look);
  EXPECT_EQ(label.width(), 800);
  label.setCaption("Rows:000000");
  EXPECT_EQ(label.width(), 1100);
  EXPECT_EQ(label.left(), 3720);
  EXPECT_EQ(label.top(), 3120);
}

// --- Unload and show -------------------------------------------------------

TEST(WindowLifeCycle, UnloadDestroysEveryControlShowRebuildsThemAndTheRecordLivesOn) {
  test::Game g;
  Form1& f = g.form;
  f.hiscore.set(420);
  f.px = 7;
  f.speed = 1;
  f.Shape2(test::cellAt(20, 5)).setVisible(true);
  f.Pause().setVisible(true);
  const std::size_t surface = f.surface().size();
  const std::size_t widgets = f.widgets().size();
  EXPECT_EQ(f.loads(), 1U);

  f.unload();
  EXPECT_FALSE(f.loaded());
  EXPECT_EQ(f.loads(), 1U);
  EXPECT_TRUE(f.surface().empty());
  EXPECT_TRUE(f.widgets().empty());
  EXPECT_FALSE(g.scheduler.nextDue()) << "the timers went with the window";
  EXPECT_THROW(f.Pause(), std::logic_error);
  f.keyDown(vk::kRight, 0);  // no window, no key events
  EXPECT_EQ(f.px, 7);

  f.show();
  EXPECT_TRUE(f.loaded());
  EXPECT_EQ(f.loads(), 2U) << "pointers kept from the first load are stale";
  EXPECT_EQ(f.surface().size(), surface);
  EXPECT_EQ(f.widgets().size(), widgets);
  EXPECT_FALSE(f.Pause().visible());
  EXPECT_FALSE(f.Shape2(test::cellAt(20, 5)).visible());
  EXPECT_EQ(f.Shape1().count(), 26);
  EXPECT_EQ(f.Shape2().count(), 265);
  EXPECT_EQ(f.Shape3().count(), 26);
  EXPECT_EQ(f.hiscore, "000420");
  EXPECT_EQ(f.px, 7);
  EXPECT_EQ(f.speed, 1.0F);
}

// --- Timers and the scheduler ----------------------------------------------

// Timers that log (name, time) on every tick.
struct TickLog {
  std::unique_ptr<Timer> make(char name, int ms, bool enabled = true) {
    return std::make_unique<Timer>(scheduler, ms, enabled,
                                   [this, name] { ticks.emplace_back(name, scheduler.now()); });
  }
  std::vector<Micros> times() const {
    std::vector<Micros> t;
    for (const auto& tick : ticks) t.push_back(tick.second);
    return t;
  }
  Scheduler scheduler;
  std::vector<std::pair<char, Micros>> ticks;
};

TEST(Timer, IntervalZeroIsSilentWhenEnabledAndDisabledIsSilentWithAnInterval) {
  TickLog log;
  const auto zero = log.make('z', 0, true);
  const auto off = log.make('o', 50, false);
  EXPECT_FALSE(log.scheduler.nextDue());
  log.scheduler.advanceMs(10'000);
  EXPECT_TRUE(log.ticks.empty());
  EXPECT_FALSE(zero->armed());
}

TEST(Timer, TicksEveryIntervalEachAtItsOwnDueTime) {
  TickLog log;
  const auto t = log.make('t', 50);
  log.scheduler.advanceMs(220);
  EXPECT_THAT(log.times(), ElementsAre(50'000, 100'000, 150'000, 200'000));
  EXPECT_EQ(log.scheduler.now(), 220'000);
  EXPECT_EQ(log.scheduler.nextDue(), 250'000);
}

TEST(Timer, SettingTheIntervalRestartsTheWait) {
  TickLog log;
  const auto t = log.make('t', 50);
  log.scheduler.advanceMs(30);
  t->setInterval(50);
  log.scheduler.advanceMs(60);
  EXPECT_THAT(log.times(), ElementsAre(80'000));
}

TEST(Timer, EnablingADisabledTimerRestartsTheWait) {
  TickLog log;
  const auto t = log.make('t', 50);
  log.scheduler.advanceMs(30);
  t->setEnabled(false);
  log.scheduler.advanceMs(100);
  EXPECT_TRUE(log.ticks.empty());
  t->setEnabled(true);  // at 130 ms
  log.scheduler.advanceMs(60);
  EXPECT_THAT(log.times(), ElementsAre(180'000));
}

TEST(Timer, TicksComeInTimeOrderAndEqualTimesInCreationOrder) {
  TickLog log;
  const auto a = log.make('a', 30);
  const auto b = log.make('b', 50);
  log.scheduler.advanceMs(150);
  const std::vector<std::pair<char, Micros>> expected = {
      {'a', 30'000},  {'b', 50'000},  {'a', 60'000},  {'a', 90'000},
      {'b', 100'000}, {'a', 120'000}, {'a', 150'000}, {'b', 150'000}};
  EXPECT_EQ(log.ticks, expected);
}

class ShortInterval : public ::testing::TestWithParam<std::pair<int, Micros>> {};

TEST_P(ShortInterval, RunsAtTheResolutionWhileLongerIntervalsRunAsSet) {
  const auto [ms, period] = GetParam();
  TickLog log;
  EXPECT_EQ(log.scheduler.resolution(), 15'625);
  const auto t = log.make('t', ms);
  log.scheduler.advance(2 * period);
  EXPECT_THAT(log.times(), ElementsAre(period, 2 * period));
}

INSTANTIATE_TEST_SUITE_P(Intervals, ShortInterval,
                         ::testing::Values(std::pair{1, Micros{15'625}},
                                           std::pair{2, Micros{15'625}},
                                           std::pair{15, Micros{15'625}},
                                           std::pair{16, Micros{16'000}},
                                           std::pair{50, Micros{50'000}}));

TEST(Timer, OneThatFellBehindTicksOnceAndThenWaitsAWholeInterval) {
  TickLog log;
  const auto a = log.make('a', 50);
  const auto b = log.make('b', 200);
  log.scheduler.runDue(1'000'000);  // a second without a turn: 20 and 5 ticks missed
  EXPECT_THAT(log.times(), ElementsAre(1'000'000, 1'000'000));
  EXPECT_EQ(log.scheduler.nextDue(), 1'050'000);
  log.scheduler.runDue(1'049'999);
  EXPECT_EQ(log.ticks.size(), 2U);
  log.scheduler.runDue(1'050'000);
  EXPECT_EQ(log.ticks.size(), 3U);
  EXPECT_EQ(log.ticks.back().first, 'a');
}

// --- Random source and colours ---------------------------------------------

TEST(RandomSource, DrawsLieInZeroToOneAndASeedFixesTheStream) {
  Random a(43200.5F);
  Random b(43200.5F);
  Random c(43201.5F);
  int differ = 0;
  for (int n = 0; n < 10'000; ++n) {
    const float u = a.next();
    ASSERT_GE(u, 0.0F);
    ASSERT_LT(u, 1.0F);
    ASSERT_EQ(u, b.next());
    differ += u != c.next() ? 1 : 0;
  }
  EXPECT_GT(differ, 9'900);
  a.seed(1.0F);
  b.seed(1.0F);
  EXPECT_EQ(a.next(), b.next());
}

}  // namespace
}  // namespace vorlane
