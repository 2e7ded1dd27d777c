// SPDX-License-Identifier: MIT
// The game as shipped plus two opt-in measuring hooks, read from the
// environment; the shipped program has neither, reads no environment and
// writes no files.
// - VORLANE_EXIT_AFTER_FIRST_FRAME=1: print the time of the first frame and
//   quit (first_frame.h).
// - VORLANE_TICK_LOG=path: write the monotonic time of every gravity tick
//   (ns, one a line) to path when the program ends. The times are kept in
//   memory until then, so that the log costs the ticks nothing but a store.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <chrono>
#include <cstdint>
#include <vector>

#include "desktop/run_game.h"
#include "desktop/view.h"
#include "first_frame.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace {

class TickLog {
 public:
  TickLog() : path_(qEnvironmentVariable("VORLANE_TICK_LOG")) {}

  // Listens to the game's scheduler. The log outlives the game: the listener
  // goes with the scheduler, the times stay here.
  void attach(vorlane::Scheduler& scheduler, const vorlane::Form1& form) {
    if (path_.isEmpty()) return;
    times_.reserve(1U << 16U);
    scheduler.setTickListener([this, &form](const vorlane::Timer& timer) {
      if (&timer != &form.Timer1()) return;
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      times_.push_back(std::chrono::nanoseconds(now).count());
    });
  }

  void write() const {
    if (path_.isEmpty()) return;
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    for (const std::int64_t t : times_) file.write(QByteArray::number(t).append('\n'));
  }

 private:
  QString path_;
  std::vector<std::int64_t> times_;
};

}  // namespace

int main(int argc, char** argv) {
  TickLog tickLog;
  const int code = vorlane::runGame(argc, argv, [&tickLog](vorlane::RunningGame& game) {
    tickLog.attach(game.scheduler, game.form);
    vorlane::bench::FirstFrameExit::install(game.view);
  });
  tickLog.write();
  return code;
}
