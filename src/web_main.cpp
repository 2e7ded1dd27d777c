// SPDX-License-Identifier: MIT
// The application in a web page: the game window drawn by the web view,
// driven by the page's clock. The page (index.html) loads the fonts, then
// runs main(), then hands every timeout, key and click to the functions below.

#include <emscripten.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "platform/web/driver.h"
#include "platform/web/view.h"
#include "window/form1.h"

#if defined(VORLANE_WEB_TEST_HOOKS)
#include <cmath>
#include <string>

#include "platform/web/bridge.h"
#endif

namespace {

struct App {
  explicit App(std::function<float()> timeOfDay) : form(scheduler, random, std::move(timeOfDay)) {}
  vorlane::Scheduler scheduler;
  vorlane::Random random;
  vorlane::Form1 form;
  // After the form, so that it goes first and the form's controls die unobserved.
  vorlane::web::View view{form};
  std::optional<vorlane::web::Driver> driver;
};

// Lives as long as the page: the game has no end but the page's.
App* app = nullptr;

#if defined(VORLANE_WEB_TEST_HOOKS)
bool trapAtNextTick = false;
#endif

#if defined(VORLANE_WEB_TEST_HOOKS)
// Only in the tests' build of the page: ?seed=S starts every game from the
// time of day S, so that the pieces come in a known order; ?scene=1 also
// stops the clock, and the test moves time by hand.
// clang-format off
EM_JS(double, vl_test_seed, (), {
  var s = new URLSearchParams(location.search).get('seed');
  return s === null ? NaN : Number(s);
});
EM_JS(int, vl_test_scene, (), {
  return new URLSearchParams(location.search).get('scene') === '1';
});
EM_JS(void, vl_test_expose, (), { window['vorlaneTest'] = Module; });
// clang-format on
#endif

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void vorlane_wake() {
  if (app == nullptr || !app->driver) return;
#if defined(VORLANE_WEB_TEST_HOOKS)
  if (trapAtNextTick) __builtin_trap();
#endif
  app->driver->wake();
  app->view.flush();
}

EMSCRIPTEN_KEEPALIVE void vorlane_key(int keyCode, int shift) {
  if (app == nullptr) return;
  app->view.keyDown(static_cast<std::uint16_t>(keyCode), shift);
  app->view.flush();
}

EMSCRIPTEN_KEEPALIVE void vorlane_click(int widgetId) {
  if (app == nullptr) return;
  app->view.click(widgetId);
  app->view.flush();
}

EMSCRIPTEN_KEEPALIVE void vorlane_rescale() {
  if (app == nullptr) return;
  app->view.rescale();
  app->view.flush();
}

#if defined(VORLANE_WEB_TEST_HOOKS)
// Moves the stopped clock of a scene on by `ms`, firing the ticks due.
EMSCRIPTEN_KEEPALIVE void vorlane_test_advance(int ms) {
  app->scheduler.advanceMs(ms);
  app->view.flush();
}

// A fault inside the game at the next timeout, as a bad memory access
// would raise it.
EMSCRIPTEN_KEEPALIVE void vorlane_test_trap_at_next_tick() { trapAtNextTick = true; }

// How many timer ticks have fired since the page started.
EMSCRIPTEN_KEEPALIVE double vorlane_test_ticks() {
  return static_cast<double>(app->scheduler.ticksFired());
}

// The visible rectangles and labels of the surface, "kind left top width
// height name" a line (kind R or L, sizes in CSS pixels), for checks cell
// by cell.
EMSCRIPTEN_KEEPALIVE const char* vorlane_test_cells() {
  static std::string out;
  out.clear();
  for (const vorlane::Control* c : app->form.surface()) {
    if (!c->visible()) continue;
    const auto px = [](float v) {
      return std::to_string(std::lround(v / vorlane::kTwipsPerPixel));
    };
    out += c->kind() == vorlane::ControlKind::Label ? "L " : "R ";
    out += px(c->left()) + ' ' + px(c->top()) + ' ' + px(c->width()) + ' ' + px(c->height());
    out += ' ' + c->name() + '\n';
  }
  return out.c_str();
}
#endif

}  // extern "C"

int main() {
  std::function<float()> timeOfDay = vorlane::secondsSinceMidnight;
  bool clockRuns = true;
#if defined(VORLANE_WEB_TEST_HOOKS)
  if (const double seed = vl_test_seed(); !std::isnan(seed)) {
    timeOfDay = [seed] { return static_cast<float>(seed); };
  }
  clockRuns = vl_test_scene() == 0;
  vl_test_expose();
#endif
  app = new App(timeOfDay);
  if (clockRuns) {
    app->driver.emplace(app->scheduler);
    app->view.setInputHook([] { app->driver->pump(); });
    app->driver->pump();  // the timers the load makes start from the present
  }
  app->form.show();
  app->view.flush();
  return 0;
}
