// SPDX-License-Identifier: MIT
#include "desktop/run_game.h"

#include <QApplication>
#include <QByteArray>
#include <QPixmapCache>
#include <QThreadPool>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "desktop/driver.h"
#include "desktop/fonts.h"
#include "desktop/platform_failure.h"
#include "desktop/view.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

#if defined(VORLANE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

namespace vorlane {
namespace {

constexpr int kNoDisplayExit = 2;

[[noreturn]] void cannotStart(const QString& why) {
  std::fprintf(stderr, "vorlane: %s\n", why.toLocal8Bit().constData());
  std::fflush(stderr);
  std::_Exit(kNoDisplayExit);
}

// When no window can be opened Qt aborts with several lines of general
// advice and a core dump. While the application starts, its platform
// messages are held back, and the fatal one becomes a single line that says
// what failed, and a plain exit.
QtMessageHandler previousHandler = nullptr;
PlatformFailure* platformFailure = nullptr;

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) cannotStart(platformFailure->explain(message));
  if (platformFailure->note(type, context.category, message)) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

// Labels measure their captions while the window loads, and the first
// measurement has fontconfig parse its configuration and open its caches:
// some 27 million instructions, most of what the game's start-up costs more
// than a bare window's. That needs no display, so a second thread does it
// while Qt connects to the display and loads its plugins, and Qt finds it
// done. (fontconfig may be used from several threads.)
class FontWarmup {
 public:
  FontWarmup() {
#if defined(VORLANE_FONTCONFIG)
    thread_ = std::thread([] { FcInit(); });
#endif
  }
  FontWarmup(const FontWarmup&) = delete;
  FontWarmup& operator=(const FontWarmup&) = delete;
  ~FontWarmup() { finish(); }

  // Waits for the thread: called before the first font is used.
  void finish() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

bool displayNamed() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
         !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

}  // namespace

int runGame(int argc, char** argv, const std::function<void(RunningGame&)>& beforeShow) {
  if (!displayNamed()) {
    cannotStart(
        QStringLiteral("no display named; set DISPLAY or WAYLAND_DISPLAY (or QT_QPA_PLATFORM)"));
  }

  // "Vorlane", "1.00" and io.github.vorlane.Vorlane, from the build
  // (CMakeLists.txt): the desktop entry has the same base name.
  QApplication::setApplicationName(QStringLiteral(VORLANE_PRODUCT_NAME));
  QApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral(VORLANE_APP_ID));

  // Every gravity tick repaints the piece's old and new places, which overlap
  // the last tick's. Through X shared memory, Qt must then wait for the X
  // server to finish reading the last image before it paints over it: a round
  // trip, and with it three or four more wake-ups of the game's two threads,
  // on every tick. The few kilobytes a tick changes go through the socket as
  // cheaply, with one wake-up a tick. (Only the X11 platform reads this; a
  // value the user set is kept.)
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");

  FontWarmup fontWarmup;
  PlatformFailure failure;
  platformFailure = &failure;
  previousHandler = qInstallMessageHandler(startupMessages);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  platformFailure = nullptr;
  fontWarmup.finish();
  QApplication::setQuitOnLastWindowClosed(true);
  // Nothing may wake a paused or finished game, but two of Qt's caches would,
  // 30 s after a button was last painted: the global thread pool, which
  // converts large images and ends threads idle for 30 s, and the pixmap
  // cache, which the style fills with button faces and flushes on a 30 s
  // timer. The pool's idle threads now sleep for good, and button faces are
  // drawn afresh: buttons are painted only when they show.
  QThreadPool::globalInstance()->setExpiryTimeout(-1);
  QPixmapCache::setCacheLimit(0);
  desktop::installFontSubstitutes();

  Scheduler scheduler;
  Random random;
  Form1 form(scheduler, random, secondsSinceMidnight);
  // The view comes before the first show, so that labels measure their
  // captions in the real fonts; it goes before the form, so that the form's
  // controls die unobserved.
  desktop::View view(form);
  desktop::Driver driver(scheduler);
  view.setInputHook([&driver] { driver.pump(); });
  if (beforeShow) {
    RunningGame running{scheduler, form, view};
    beforeShow(running);
  }

  driver.pump();  // the timers the load makes start from the present
  form.show();
  view.show();
  return QApplication::exec();
}

}  // namespace vorlane

#if defined(__SANITIZE_ADDRESS__)
// The session bus library that Qt's X11 platform loads leaves a buffer
// unfreed at exit; that is not ours to fix, and would fail every checked run.
extern "C" const char* __lsan_default_suppressions() {  // NOLINT: the sanitizer's name
  return "leak:libdbus-1.so\n";
}
#endif
