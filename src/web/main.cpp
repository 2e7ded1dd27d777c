// SPDX-License-Identifier: MIT
// The application in a web page: the game window drawn by the web view,
// driven by the page's clock. The page (index.html) loads the fonts, then
// runs main(), then hands every timeout, key and click to the functions below.

#include <emscripten.h>

#include <cstdint>

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
