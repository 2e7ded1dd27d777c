// SPDX-License-Identifier: MIT
#include "windows/run_game.h"

#include <windows.h>

#include <exception>
#include <new>
#include <string>

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"
#include "windows/driver.h"
#include "windows/fonts.h"
#include "windows/gdi_canvas.h"
#include "windows/view.h"

namespace vorlane::windows {

namespace {

constexpr int kCannotStart = 2;

int cannotStart(const std::string& why) {
  const std::wstring text = wide("Vorlane cannot start: " + why + ".");
  MessageBoxW(nullptr, text.c_str(), L"Vorlane", MB_OK | MB_ICONERROR);
  return kCannotStart;
}

}  // namespace

int runGame(HINSTANCE instance, const GameHooks& hooks) {
  if (const std::string failed = loadEmbeddedFonts(instance); !failed.empty()) {
    return cannotStart(failed);
  }
  try {
    vorlane::Scheduler scheduler;
    vorlane::Random random;
    vorlane::Form1 form(scheduler, random, vorlane::secondsSinceMidnight);
    // The view comes before the first show, so that labels measure their
    // captions in the real fonts; it goes before the form, so that the
    // form's controls die unobserved.
    View view(form, instance);
    Driver driver(scheduler);
    view.setInputHook([&driver] { driver.pump(); });
    driver.pump();  // the timers the load makes start from the present
    form.show();
    view.show();
    if (hooks.firstFrame) hooks.firstFrame();
    const int status = driver.run(view);
    if (hooks.closed) hooks.closed(driver, scheduler);
    return status;
  } catch (const std::bad_alloc&) {
    return cannotStart("out of memory");
  } catch (const std::exception& e) {
    return cannotStart(e.what());
  }
}

}  // namespace vorlane::windows
