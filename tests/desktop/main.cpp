// SPDX-License-Identifier: MIT
// The GUI tests run on Qt's offscreen platform unless told otherwise, so
// that they need no display; each test makes its own window.
#include <gtest/gtest.h>

#include <QApplication>

#include "desktop/fonts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vorlane::desktop::installFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
