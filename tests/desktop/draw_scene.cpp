// SPDX-License-Identifier: MIT
// Draws one scene of a headless game with the desktop view, for the check
// that the web view draws the same: vorlane_desktop_scene SEED STEPS OUT.png,
// where STEPS is a space-separated list of aN (advance the clock N ms) and
// kN (key code N down). Prints the labels' sizes. Runs on Qt's offscreen
// platform unless told otherwise.

#include <QApplication>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "desktop/fonts.h"
#include "desktop/view.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "scene_steps.h"
#include "window/form1.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: vorlane_desktop_scene SEED STEPS OUT.png\n", stderr);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vorlane::desktop::installFontSubstitutes();

  const float seed = std::strtof(argv[1], nullptr);
  vorlane::Scheduler scheduler;
  vorlane::Random random;
  vorlane::Form1 form(scheduler, random, [seed] { return seed; });
  vorlane::desktop::View view(form);
  form.show();
  view.show();

  if (!vorlane::playSceneSteps(scheduler, form, argv[2])) return 2;
  // The labels' sizes, which they took from the fonts: "name width height"
  // in pixels a line.
  for (const vorlane::Control* c : form.surface()) {
    if (c->kind() != vorlane::ControlKind::Label || !c->visible()) continue;
    std::printf("%s %ld %ld\n", c->name().c_str(),
                std::lround(c->width() / vorlane::kTwipsPerPixel),
                std::lround(c->height() / vorlane::kTwipsPerPixel));
  }
  QApplication::processEvents();
  if (!view.grab().save(QString::fromLocal8Bit(argv[3]))) {
    std::fprintf(stderr, "vorlane_desktop_scene: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
