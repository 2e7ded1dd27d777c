// SPDX-License-Identifier: MIT
// The application in a web page: the game window drawn by the web view,
// driven by the page's clock. The page's start-up (boot.js) loads the fonts,
// then runs main(), then hands every timeout, key, click and touch to the
// functions below.

#include <emscripten.h>

#include <cstdint>

#include "platform/touch.h"
#include "web/app.h"

namespace vorlane::web {
App* app = nullptr;
}  // namespace vorlane::web

using vorlane::web::app;

extern "C" {

EMSCRIPTEN_KEEPALIVE void vorlane_wake() {
  if (app == nullptr || !app->driver) return;
  if (app->beforeWake != nullptr) app->beforeWake();
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

// A touch on the window: `phase` 0 starts, 1 moves, 2 ends, 3 cancels
// finger `id` at (x, y) twips of the window's client area, at `ms` on the
// page's clock; `scale` is the window's size on screen over its design size.
EMSCRIPTEN_KEEPALIVE void vorlane_touch(int phase, int id, double x, double y, double ms,
                                        double scale) {
  if (app == nullptr || !app->form.loaded() || scale <= 0) return;
  vorlane::TouchGestures& gestures = app->gestures;
  const auto tx = static_cast<vorlane::Twips>(x);
  const auto ty = static_cast<vorlane::Twips>(y);
  switch (phase) {
    case 0:
      gestures.setGeometry(
          {.well = app->form.wellArea(),
           .cell = app->form.cell,
           // Ten CSS pixels of the screen, whatever the window's scale.
           .tapSlop = static_cast<vorlane::Twips>(10 * vorlane::kTwipsPerPixel / scale)});
      gestures.start(id, tx, ty, ms);
      break;
    case 1:
      gestures.move(id, tx, ty, ms);
      break;
    case 2:
      gestures.end(id, tx, ty, ms);
      break;
    default:
      gestures.cancel(id);
      break;
  }
  app->view.flush();
}

// The page was hidden (another tab, the phone locked): a game under way
// pauses as P pauses it.
EMSCRIPTEN_KEEPALIVE void vorlane_hidden() {
  if (app == nullptr || !app->form.gameUnderWay()) return;
  app->view.keyDown(vorlane::vk::kP, 0);
  app->view.flush();
}

EMSCRIPTEN_KEEPALIVE void vorlane_rescale() {
  if (app == nullptr) return;
  app->view.rescale();
  app->view.flush();
}

}  // extern "C"

int main() {
  const vorlane::web::StartOptions options = vorlane::web::startOptions();
  app = new vorlane::web::App(options.timeOfDay);
  if (options.clockRuns) {
    app->driver.emplace(app->scheduler);
    app->view.setInputHook([] { app->driver->pump(); });
    app->driver->pump();  // the timers the load makes start from the present
  }
  app->form.show();
  app->view.flush();
  return 0;
}
