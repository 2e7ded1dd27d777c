// SPDX-License-Identifier: MIT
// The game in a web page: the window, its view and the driver of its clock,
// one of each for the page's life, and how a page starts them.
#pragma once

#include <functional>
#include <optional>

#include "platform/random.h"
#include "platform/scheduler.h"
#include "platform/touch.h"
#include "web/bridge.h"
#include "web/driver.h"
#include "web/view.h"
#include "window/form1.h"

namespace vorlane::web {

struct App {
  explicit App(std::function<float()> timeOfDay) : form(scheduler, random, std::move(timeOfDay)) {}
  Scheduler scheduler;
  Random random;
  Form1 form;
  // After the form, so that it goes first and the form's controls die unobserved.
  View view{form};
  std::optional<Driver> driver;
  // Fingers on the well raise keys through the keyboard's path.
  TouchGestures gestures{[this](std::uint16_t key) { view.keyDown(key, 0); }};
  // Runs before each timeout reaches the game; only the tests' page sets it.
  void (*beforeWake)() = nullptr;
};

// Lives as long as the page: the game has no end but the page's.
extern App* app;

// The page's local time of day in seconds, which seeds a game.
inline float timeOfDay() { return static_cast<float>(vl_seconds_since_midnight()); }

// What a page starts a game from: the time of day that seeds it, and
// whether the real clock drives it.
struct StartOptions {
  std::function<float()> timeOfDay;
  bool clockRuns = true;
};
// The shipped page starts from the time of day on the real clock
// (start.cpp); the tests' page reads its address (test_hooks.cpp).
StartOptions startOptions();

}  // namespace vorlane::web
