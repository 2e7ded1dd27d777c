// SPDX-License-Identifier: MIT
// Only in the tests' build of the page: ?seed=S starts every game from the
// time of day S, so that the pieces come in a known order; ?scene=1 also
// stops the clock, and the test moves time by hand. And entry points that
// only tests call.

#include <emscripten.h>

#include <cmath>
#include <string>

#include "web/app.h"

namespace {

// clang-format off
EM_JS(double, vl_test_seed, (), {
  const s = new URLSearchParams(location.search).get('seed');
  return s === null ? NaN : Number(s);
});
EM_JS(int, vl_test_scene, (), {
  return new URLSearchParams(location.search).get('scene') === '1';
});
EM_JS(void, vl_test_expose, (), { window['vorlaneTest'] = Module; });
// clang-format on

}  // namespace

namespace vorlane::web {

StartOptions startOptions() {
  StartOptions options{timeOfDay, vl_test_scene() == 0};
  if (const double seed = vl_test_seed(); !std::isnan(seed)) {
    options.timeOfDay = [seed] { return static_cast<float>(seed); };
  }
  vl_test_expose();
  return options;
}

}  // namespace vorlane::web

using vorlane::web::app;

extern "C" {

// Moves the stopped clock of a scene on by `ms`, firing the ticks due.
EMSCRIPTEN_KEEPALIVE void vorlane_test_advance(int ms) {
  app->scheduler.advanceMs(ms);
  app->view.flush();
}

// A fault inside the game at the next timeout, as a bad memory access
// would raise it.
EMSCRIPTEN_KEEPALIVE void vorlane_test_trap_at_next_tick() {
  app->beforeWake = [] { __builtin_trap(); };
}

// Brings the window's push button or panel `name` to the front, as the
// game does with its own.
EMSCRIPTEN_KEEPALIVE void vorlane_test_bring_to_front(const char* name) {
  for (vorlane::Control* c : app->form.widgets()) {
    if (c->name() != name) continue;
    c->bringToFront();
    break;
  }
  app->view.flush();
}

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

}  // extern "C"
