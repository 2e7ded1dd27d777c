// The application: the game window on the desktop, driven by real time.

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/qt/driver.h"
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

  QApplication::setApplicationName(QStringLiteral("Vorlane"));
  QApplication::setApplicationVersion(QStringLiteral("1.00"));
  QGuiApplication::setDesktopFileName(QStringLiteral("vorlane"));

  previousHandler = qInstallMessageHandler(startupMessages);
  QApplication app(argc, argv);
  qInstallMessageHandler(previousHandler);
  QApplication::setQuitOnLastWindowClosed(true);
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

  driver.pump();  // the timers the load makes start from the present
  form.show();
  view.show();
  return QApplication::exec();
}
