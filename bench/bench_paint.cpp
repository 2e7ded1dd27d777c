// SPDX-License-Identifier: MIT
// Painting on Qt's offscreen platform: the time to repaint what one gravity
// tick changed against a repaint of the whole window, in one run.
//
// The game plays on a hand-driven scheduler. After each gravity tick the
// event loop paints the region the view collected; then the whole window is
// marked dirty and painted again. Both are timed the same way (the event
// processing that paints and flushes), alternating, and the medians compared.
// Prints key=value lines for bench/run.py.
//
// `bench_paint SAMPLES --ticks-only` leaves the full repaints out: under
// callgrind at two sample counts, the difference between the totals counts
// the instructions of the ticks and their repaints (the model's own tick is
// a small part), a figure that does not move with the machine's load
// (docs/performance.md).
#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "desktop/fonts.h"
#include "desktop/view.h"
#include "paint_log.h"
#include "scenes.h"

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Paints what is pending; the time it took in microseconds. Two passes of
// the event loop, as in the game: the view hands a tick's damage to Qt from
// the first, and Qt paints in the second.
double paintPending() {
  QElapsedTimer clock;
  clock.start();
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  return static_cast<double>(clock.nsecsElapsed()) / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vorlane::desktop::installFontSubstitutes();
  const int samples = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
  const bool ticksOnly = argc > 2 && std::strcmp(argv[2], "--ticks-only") == 0;

  vorlane::bench::Playing g{vorlane::bench::Playing::Unstarted{}};
  vorlane::desktop::View view(g.form);  // before the load, as in the game
  g.start();
  view.show();
  for (int n = 0; n < 100 && !view.windowHandle()->isExposed(); ++n)
    QCoreApplication::processEvents();
  for (int n = 0; n < 10; ++n) paintPending();  // first paints, font loading and the like

  vorlane::test::PaintLog log;
  view.installEventFilter(&log);
  std::vector<double> tick;
  std::vector<double> full;
  double tickArea = 0;
  int tickPaints = 0;
  g.armGravity();
  while (static_cast<int>(tick.size()) < samples) {
    // Keep the piece falling through the open well; the step that puts it
    // back at the top is not a gravity tick's change and is not counted.
    const bool restart = g.form.py > 12;
    if (restart) g.armGravity();
    g.tick();
    if (g.form.landed) return std::fputs("bench_paint: the piece landed\n", stderr), 1;
    log.paints = 0;
    log.area = 0;
    const double t = paintPending();
    if (!restart) {
      tick.push_back(t);
      tickArea += static_cast<double>(log.area);
      tickPaints += log.paints;
    }
    if (ticksOnly) continue;
    view.update();
    full.push_back(paintPending());
  }
  view.removeEventFilter(&log);

  const double window = static_cast<double>(view.width()) * view.height();
  const double tickUs = median(tick);
  if (ticksOnly) {
    std::printf("samples=%d\ntick_paint_us=%.1f\n", samples, tickUs);
    return 0;
  }
  const double fullUs = median(full);
  std::printf("samples=%d\n", samples);
  std::printf("window_px=%dx%d\n", view.width(), view.height());
  std::printf("tick_paints_per_tick=%.2f\n", tickPaints / static_cast<double>(tick.size()));
  std::printf("tick_area_fraction=%.4f\n", tickArea / static_cast<double>(tick.size()) / window);
  std::printf("tick_paint_us=%.1f\n", tickUs);
  std::printf("full_paint_us=%.1f\n", fullUs);
  std::printf("ratio=%.4f\n", tickUs / fullUs);
  return 0;
}
