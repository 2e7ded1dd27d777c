// SPDX-License-Identifier: MIT
// Opt-in start-up measurement, shared by the game and the bare window of
// the benchmarks: with VORLANE_EXIT_AFTER_FIRST_FRAME=1 in the environment,
// once the watched window has painted and flushed its first frame, the
// program prints "first-frame-ns T" (T on the monotonic clock, which the
// benchmark script reads too) and quits. Without the variable it does nothing.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace vorlane::bench {

class FirstFrameExit final : public QObject {
 public:
  // Watches `window` when the variable asks for it.
  static void install(QWidget& window) {
    if (qEnvironmentVariableIntValue("VORLANE_EXIT_AFTER_FIRST_FRAME") != 1) return;
    // The application's filter, since the first frame may be painted by
    // child widgets alone (the game's opens with the curtain over it all).
    qApp->installEventFilter(new FirstFrameExit(window));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || painted_ || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != &window_) {
      return false;
    }
    painted_ = true;
    // Queued, so that it runs once the frame is painted and flushed.
    QTimer::singleShot(0, this, [] {
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      std::printf("first-frame-ns %lld\n",
                  static_cast<long long>(std::chrono::nanoseconds(now).count()));
      std::fflush(stdout);
      QCoreApplication::quit();
    });
    return false;
  }

 private:
  explicit FirstFrameExit(QWidget& window) : QObject(&window), window_(window) {}
  QWidget& window_;
  bool painted_ = false;
};

}  // namespace vorlane::bench
