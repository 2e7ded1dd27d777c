// SPDX-License-Identifier: MIT
// Collects the areas a widget repaints, as an event filter installed on it.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>

namespace vorlane::test {

class PaintLog final : public QObject {
 public:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const QRegion& region = static_cast<QPaintEvent*>(event)->region();
      for (const QRect& r : region) area += static_cast<qint64>(r.width()) * r.height();
      painted += region;
      ++paints;
    }
    return false;
  }
  qint64 area = 0;  // in device-independent pixels
  int paints = 0;
  QRegion painted;
};

}  // namespace vorlane::test
