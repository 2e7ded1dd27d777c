// SPDX-License-Identifier: MIT
#include "desktop/platform_failure.h"

#include <QRegularExpression>

namespace vorlane {
namespace {

QString quoted(const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); }

// The display a variable names, or why there is none.
QString named(const char* variable, const QString& what) {
  const QString value = qEnvironmentVariable(variable);
  if (value.isEmpty()) {
    return QStringLiteral("no %1 named (%2 is not set)").arg(what, QLatin1String(variable));
  }
  return QStringLiteral("cannot connect to the %1 %2 (%3)")
      .arg(what, quoted(value), QLatin1String(variable));
}

}  // namespace

PlatformFailure::Failure& PlatformFailure::failureOf(const QString& plugin) {
  for (Failure& f : failures_) {
    if (f.plugin == plugin) return f;
  }
  failures_.push_back({plugin, QString(), false});
  return failures_.back();
}

bool PlatformFailure::note(QtMsgType type, const char* category, const QString& message) {
  static const QRegularExpression notFound(
      QStringLiteral("^Could not find the Qt platform plugin \"([^\"]*)\""));
  static const QRegularExpression notLoaded(
      QStringLiteral("^Could not load the Qt platform plugin \"([^\"]*)\""));
  if (const auto m = notFound.match(message); m.hasMatch()) {
    Failure& f = failureOf(m.captured(1));
    f.why = QStringLiteral("no Qt platform plugin %1 is installed").arg(quoted(f.plugin));
    f.notInstalled = true;
    return true;
  }
  if (const auto m = notLoaded.match(message); m.hasMatch()) {
    // Comes after the plugin's own complaint, if it made one.
    Failure& f = failureOf(m.captured(1));
    if (f.why.isEmpty()) {
      f.why = QStringLiteral("the Qt platform plugin %1 did not start").arg(quoted(f.plugin));
    }
    return true;
  }
  const QByteArray from(category != nullptr ? category : "");
  if (from.startsWith("qt.qpa.xcb") && message.startsWith(QLatin1String("could not connect"))) {
    failureOf(QStringLiteral("xcb")).why = named("DISPLAY", QStringLiteral("X display"));
    return true;
  }
  // The Wayland plugin says so without a category.
  if (type != QtFatalMsg && message.startsWith(QLatin1String("Failed to create wl_display"))) {
    failureOf(QStringLiteral("wayland")).why =
        named("WAYLAND_DISPLAY", QStringLiteral("Wayland display"));
    return true;
  }
  return from.startsWith("qt.qpa");
}

QString PlatformFailure::explain(const QString& fatal) const {
  static const QRegularExpression available(
      QStringLiteral("Available platform plugins are: ([^\n]*)\\."));
  const auto m = available.match(fatal);
  const QString installed =
      m.hasMatch() && !m.captured(1).isEmpty() ? m.captured(1) : QStringLiteral("none");
  QStringList parts;
  for (const Failure& f : failures_) {
    if (f.why.isEmpty()) continue;
    const QString part =
        f.notInstalled ? QStringLiteral("%1 (installed: %2)").arg(f.why, installed) : f.why;
    if (!parts.contains(part)) parts << part;
  }
  if (parts.isEmpty()) {
    // Not a plugin that could not be found or could not connect: Qt's own
    // first line, which names the trouble.
    return QStringLiteral("cannot open a window: ") + fatal.section(QLatin1Char('\n'), 0, 0);
  }
  return parts.join(QStringLiteral("; "));
}

}  // namespace vorlane
