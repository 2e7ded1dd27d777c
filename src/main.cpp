// The application: the game window on the desktop, driven by real time.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QPixmapCache>
#include <QThreadPool>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/clock.h"
#include "platform/qt/driver.h"
#if defined(VORLANE_BENCH_HOOKS)
#include "platform/qt/first_frame.h"
#endif
#include "platform/qt/fonts.h"
#include "platform/qt/view.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace {

constexpr int kNoDisplayExit = 2;

[[noreturn]] void noDisplay() {
  std::fputs("vorlane: cannot open a display; set DISPLAY or QT_QPA_PLATFORM\n", stderr);
  std::fflush(stderr);
  std::_Exit(kNoDisplayExit);
}

// Without a display Qt aborts with several lines of advice and a core dump.
// While the application starts, its platform messages are held back and the
// fatal one becomes a single line and a plain exit.
QtMessageHandler previousHandler = nullptr;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) noDisplay();
  const QByteArray category(context.category != nullptr ? context.category : "");
  if (category.startsWith("qt.qpa")) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

bool displayNamed() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
         !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

#if defined(VORLANE_BENCH_HOOKS)
// Only in the benchmarks' build of the program: with VORLANE_TICK_LOG=path, the monotonic time
// of every gravity tick (ns, one a line) is written to path when the program
// ends. The times are kept in memory until then, so that the log costs the
// ticks nothing but a store.
class TickLog {
 public:
  TickLog(vorlane::Scheduler& scheduler, const vorlane::Form1& form)
      : path_(qEnvironmentVariable("VORLANE_TICK_LOG")) {
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
#endif

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// The session bus library that Qt's X11 platform loads leaves a buffer
// unfreed at exit; that is not ours to fix, and would fail every checked run.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT: the sanitizer's name
  return "leak:libdbus-1.so\n";
}
#endif

int main(int argc, char** argv) {
  if (!displayNamed()) noDisplay();

  // "Vorlane", "1.00" and io.github.vorlane.Vorlane, from the build
  // (CMakeLists.txt): the desktop entry has the same base name.
  QApplication::setApplicationName(QStringLiteral(VORLANE_PRODUCT_NAME));
  QApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(VORLANE_APP_ID));

  previousHandler = qInstallMessageHandler(startupMessages);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  QApplication::setQuitOnLastWindowClosed(true);
  // Nothing may wake a paused or finished game, but two of Qt's caches would,
  // 30 s after a button was last painted: the global thread pool, which
  // converts large images and ends threads idle for 30 s, and the pixmap
  // cache, which the style fills with button faces and flushes on a 30 s
  // timer. The pool's idle threads now sleep for good, and button faces are
  // drawn afresh: buttons are painted only when they show.
  QThreadPool::globalInstance()->setExpiryTimeout(-1);
  QPixmapCache::setCacheLimit(0);
  vorlane::qt::installFontSubstitutes();

  vorlane::Scheduler scheduler;
  vorlane::Random random;
  vorlane::Form1 form(scheduler, random, vorlane::secondsSinceMidnight);
  // The view comes before the first show, so that labels measure their
  // captions in the real fonts; it goes before the form, so that the form's
  // controls die unobserved.
  vorlane::qt::View view(form);
  vorlane::qt::Driver driver(scheduler);
  view.setInputHook([&driver] { driver.pump(); });
#if defined(VORLANE_BENCH_HOOKS)
  TickLog tickLog(scheduler, form);
  vorlane::qt::FirstFrameExit::install(view);
#endif

  driver.pump();  // the timers the load makes start from the present
  form.show();
  view.show();
#if defined(VORLANE_BENCH_HOOKS)
  const int code = QApplication::exec();
  scheduler.setTickListener(nullptr);
  tickLog.write();
  return code;
#else
  return QApplication::exec();
#endif
}
