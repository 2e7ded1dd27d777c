// SPDX-License-Identifier: MIT
// A loaded Form1 with its Qt view, driven by hand, and helpers to look at
// the picture in twips.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include "desktop/view.h"
#include "harness.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane::test {

struct ViewedGame {
  ViewedGame() { form.show(); }

  void showWindow() {
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  int openCurtain() { return test::openCurtain(form); }
  void finishIntro() { test::finishIntro(form); }
  // Play begun and the first piece brought down into the well, where it
  // is free to move: above the well, the top wall blocks every shift.
  void startPlay() {
    finishIntro();
    for (int n = 0; n < 60; ++n) form.Timer1_Timer();
  }
  // Gravity until the game is over.
  void playToGameOver() {
    for (int n = 0; n < 1'000'000 && !form.Command1().visible(); ++n) form.Timer1_Timer();
  }
  QPushButton* button(const Control& model) const {
    return qobject_cast<QPushButton*>(view.widgetFor(model));
  }
  QImage picture() { return view.grab().toImage(); }

  Scheduler scheduler;
  Random random{1.0F};
  float timeOfDay = 43200.0F;  // seeds the random source at every load
  Form1 form{scheduler, random, [this] { return timeOfDay; }};
  desktop::View view{form};  // after the form, so that it goes first
};

// The device pixel of a point in client twips.
inline QPoint devicePixel(const QImage& image, float x, float y) {
  const qreal scale = image.devicePixelRatio() / kTwipsPerPixel;
  return {static_cast<int>(x * scale), static_cast<int>(y * scale)};
}

inline QColor colourAt(const QImage& image, float x, float y) {
  return image.pixelColor(devicePixel(image, x, y));
}

// Counts the pixels of a twips rectangle, shrunk by `inset` pixels on every
// side, that satisfy `test`.
template <class Test>
int countPixels(const QImage& image, const RectF& r, int inset, Test test) {
  const QPoint a = devicePixel(image, r.left, r.top) + QPoint(inset, inset);
  const QPoint b = devicePixel(image, r.right(), r.bottom()) - QPoint(inset, inset);
  int n = 0;
  for (int y = a.y(); y < b.y(); ++y) {
    for (int x = a.x(); x < b.x(); ++x) n += test(image.pixelColor(x, y)) ? 1 : 0;
  }
  return n;
}

inline bool isColour(const QColor& c, int r, int g, int b) {
  return c.red() == r && c.green() == g && c.blue() == b;
}

// The bounds of well cell (row, column) as the well lays it out.
inline RectF cellBounds(const Form1& form, int row, int column) {
  return {static_cast<float>(column) * form.cell + 60, static_cast<float>(row) * form.cell + 50,
          form.cell, form.cell};
}

}  // namespace vorlane::test
