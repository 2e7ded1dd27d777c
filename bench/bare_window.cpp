// SPDX-License-Identifier: MIT
// The yardstick of start-up time and memory: a bare Qt window of the game's
// size, shown and nothing else. It honours the same first-frame variable as
// the game (VORLANE_EXIT_AFTER_FIRST_FRAME=1).
#include <QApplication>
#include <QWidget>

#include "first_frame.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare"));
  window.resize(421, 433);  // the game window's client area in pixels
  vorlane::bench::FirstFrameExit::install(window);
  window.show();
  return QApplication::exec();
}
