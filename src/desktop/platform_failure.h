// SPDX-License-Identifier: MIT
// Why Qt could not open the game's window, told in one line. Qt reports a
// failed start as warnings from each platform plugin it tries and then a
// fatal message with general advice; the warnings say what went wrong.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

namespace vorlane {

class PlatformFailure {
 public:
  // Notes a message that Qt sent while its application started. True when
  // it was about the platform plugins: such messages are held back, as the
  // one line of explain() says what they meant.
  bool note(QtMsgType type, const char* category, const QString& message);

  // The line to print after `fatal`, Qt's last message, without the
  // program's name or a newline.
  QString explain(const QString& fatal) const;

 private:
  struct Failure {
    QString plugin;
    QString why;  // empty until known
    bool notInstalled;
  };
  Failure& failureOf(const QString& plugin);

  std::vector<Failure> failures_;  // in the order Qt tried the plugins
};

}  // namespace vorlane
