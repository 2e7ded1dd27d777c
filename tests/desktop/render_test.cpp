// SPDX-License-Identifier: MIT
// The design window as the view draws it, checked by its pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "paint_log.h"
#include "viewed_game.h"

namespace vorlane::test {
namespace {

bool isBlack(const QColor& c) { return isColour(c, 0, 0, 0); }
bool isRed(const QColor& c) { return isColour(c, 255, 0, 0); }
bool isBlue(const QColor& c) { return isColour(c, 0, 0, 255); }
bool isYellow(const QColor& c) { return isColour(c, 255, 255, 0); }
bool isDark(const QColor& c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; }

TEST(Render, WindowTakesTheClientSizeOfTheModel) {
  ViewedGame g;
  ASSERT_EQ(g.form.cell, 292.0F);
  EXPECT_EQ(g.view.width(), 421);   // 22 cells less the frame: 6304 twips
  EXPECT_EQ(g.view.height(), 433);  // 6484 twips
  EXPECT_EQ(g.view.minimumSize(), g.view.maximumSize());
  EXPECT_EQ(g.view.windowTitle(), QStringLiteral("Zarvex"));
}

TEST(Render, ClosedCurtainCoversTheWholeWindow) {
  ViewedGame g;
  const QImage image = g.picture();
  ASSERT_EQ(image.size(), g.view.size());
  int notBlack = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) notBlack += isBlack(image.pixelColor(x, y)) ? 0 : 1;
  }
  EXPECT_EQ(notBlack, 0);
}

TEST(Render, OpenWindowShowsTheDesign) {
  ViewedGame g;
  EXPECT_EQ(g.openCurtain(), 14);
  const QImage image = g.picture();

  // An empty cell inside the well shows the window's yellow.
  const RectF empty = cellBounds(g.form, 10, 5);
  EXPECT_EQ(empty.left, 5 * 292 + 60);
  EXPECT_TRUE(isYellow(colourAt(image, empty.left + 146, empty.top + 146)));
  EXPECT_EQ(countPixels(image, empty, 0, isYellow), 19 * 19);  // nothing drawn there

  // A floor cell: a blue border four pixels wide around a red fill with a
  // black diagonal cross hatch.
  const RectF wall = cellBounds(g.form, 21, 5);
  const int inside = countPixels(image, wall, 5, [](const QColor&) { return true; });
  const int red = countPixels(image, wall, 5, isRed);
  const int hatch = countPixels(image, wall, 5, isBlack);
  EXPECT_EQ(red + hatch, inside);
  EXPECT_GT(red, inside / 2);
  EXPECT_GT(hatch, 4);
  const QPoint edge = devicePixel(image, wall.left, wall.top + 146);
  for (int dx = 1; dx < 3; ++dx) EXPECT_TRUE(isBlue(image.pixelColor(edge + QPoint(dx, 0))));
  EXPECT_GT(countPixels(image, wall, 0, isBlue), 200);

  // The left wall's border begins exactly on its edge: yellow, then four
  // blue pixels, then the fill.
  const QPoint left = devicePixel(image, 0, cellBounds(g.form, 10, 0).top + 146);
  for (int x = 0; x < 4; ++x) EXPECT_TRUE(isYellow(image.pixelColor(x, left.y()))) << x;
  for (int x = 4; x < 8; ++x) EXPECT_TRUE(isBlue(image.pixelColor(x, left.y()))) << x;
  EXPECT_FALSE(isBlue(image.pixelColor(8, left.y())));

  // "Next Piece:" in black on its own red ground.
  const RectF next = g.form.npiece().bounds();
  const int nextArea = countPixels(image, next, 1, [](const QColor&) { return true; });
  EXPECT_GT(countPixels(image, next, 1, isRed), nextArea / 2);
  EXPECT_GT(countPixels(image, next, 1, isDark), 50);

  // The counters' text on the yellow.
  for (const Label* label :
       {&g.form.scorelabel(), &g.form.hscorelabel(), &g.form.rowslabel(), &g.form.piecelabel()}) {
    EXPECT_GT(countPixels(image, label->bounds(), 0, isDark), 100) << label->name();
    EXPECT_TRUE(isYellow(colourAt(image, label->left() - 30, label->top() + 180)));
  }

  // The preview square: its blue border, and the blue fill.
  const RectF backdrop = g.form.backdrop().bounds();
  EXPECT_TRUE(isBlue(colourAt(image, backdrop.left + 20, backdrop.top + 700)));
  EXPECT_TRUE(isBlue(colourAt(image, backdrop.left + 700, backdrop.top + 700)));

  // Both buttons exist as Qt buttons, hidden.
  const QList<QPushButton*> buttons = g.view.findChildren<QPushButton*>();
  EXPECT_EQ(buttons.size(), 2);
  for (const QPushButton* b : buttons) EXPECT_TRUE(b->isHidden());
  ASSERT_NE(g.button(g.form.Pause()), nullptr);
  EXPECT_EQ(g.button(g.form.Pause())->text(), QStringLiteral("Pause"));
  EXPECT_EQ(g.button(g.form.Command1())->text(), QStringLiteral("Game Over"));
  // Only Tab gives them the focus, never a click.
  EXPECT_EQ(g.button(g.form.Command1())->focusPolicy(), Qt::TabFocus);
  EXPECT_EQ(g.button(g.form.Pause())->focusPolicy(), Qt::TabFocus);
}

TEST(Render, PanelsAndButtonsStackAsTheModelSays) {
  ViewedGame g;
  // After the load both curtain panels lie in front of the buttons.
  const QObjectList& children = g.view.children();
  const auto at = [&](const Control& c) { return children.indexOf(g.view.widgetFor(c)); };
  EXPECT_LT(at(g.form.Pause()), at(g.form.covertop()));
  EXPECT_LT(at(g.form.Command1()), at(g.form.covertop()));
  EXPECT_LT(at(g.form.covertop()), at(g.form.coverbottom()));
  g.form.covertop().bringToFront();
  EXPECT_LT(at(g.form.coverbottom()), at(g.form.covertop()));
}

TEST(Render, ButtonsTakeTheirModelGeometry) {
  ViewedGame g;
  g.form.Pause().setVisible(true);
  QPushButton* pause = g.button(g.form.Pause());
  ASSERT_NE(pause, nullptr);
  EXPECT_FALSE(pause->isHidden());
  EXPECT_EQ(pause->geometry(), QRect(104, 16, 201, 129));  // 1560, 240, 3015, 1935 twips
  EXPECT_EQ(pause->font().pixelSize(), 64);                // 48 points
  EXPECT_TRUE(pause->font().bold());
}

TEST(Render, GravityTickRepaintsOnlyThePiece) {
  ViewedGame g;
  g.showWindow();
  g.openCurtain();
  g.startPlay();
  // All that is pending painted now, so that the log sees the tick alone;
  // and the tick's changes, gathered in one region, in one paint.
  g.view.repaint();

  // Where every drawn control is, before and after.
  const auto shown = [&] {
    std::vector<std::pair<const Control*, QRect>> v;
    for (const Control* c : g.form.surface()) {
      if (c->visible()) v.emplace_back(c, desktop::View::pixelRect(c->bounds()));
    }
    return v;
  };
  const auto before = shown();

  PaintLog log;
  g.view.installEventFilter(&log);
  g.form.Timer1_Timer();
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.paints > 0; }, 10'000));
  g.view.removeEventFilter(&log);

  // What moved, appeared or went is repainted where it was and where it is.
  const auto after = shown();
  int changed = 0;
  for (const auto& [was, is] : {std::pair{&before, &after}, std::pair{&after, &before}}) {
    for (const auto& entry : *was) {
      if (std::find(is->begin(), is->end(), entry) != is->end()) continue;
      ++changed;
      const QRegion pixels(entry.second);
      EXPECT_EQ(log.painted.intersected(pixels), pixels) << entry.first->name();
    }
  }
  EXPECT_GT(changed, 0);

  const qint64 window = static_cast<qint64>(g.view.width()) * g.view.height();
  EXPECT_GT(log.area, 0);
  // Five blocks before and after their step, with a pixel around each.
  EXPECT_LT(log.area, 10 * 23 * 23);
  EXPECT_LT(log.area, window / 10);
}

// Run by its own test entry with QT_SCALE_FACTOR=2.
TEST(HiDpi, DrawsAtTwiceTheResolution) {
  ViewedGame g;
  g.showWindow();
  ASSERT_EQ(g.view.devicePixelRatioF(), 2.0);
  g.openCurtain();
  const QImage image = g.picture();
  EXPECT_EQ(image.size(), 2 * g.view.size());

  // The left wall's border is eight device pixels of pure blue between pure
  // yellow and the fill: no blur on either edge.
  const int y = devicePixel(image, 0, cellBounds(g.form, 10, 0).top + 146).y();
  for (int x = 0; x < 8; ++x) EXPECT_TRUE(isYellow(image.pixelColor(x, y))) << x;
  for (int x = 8; x < 16; ++x) EXPECT_TRUE(isBlue(image.pixelColor(x, y))) << x;
  const QColor fill = image.pixelColor(16, y);
  EXPECT_TRUE(isRed(fill) || isBlack(fill));

  // The hatch is drawn in black over the red fill with no blended shades.
  const RectF wall = cellBounds(g.form, 21, 5);
  EXPECT_GT(countPixels(image, wall, 10, isBlack), 8);
  EXPECT_EQ(countPixels(image, wall, 10, [](const QColor& c) { return isRed(c) || isBlack(c); }),
            countPixels(image, wall, 10, [](const QColor&) { return true; }));

  // The counters' text is there at the device resolution.
  EXPECT_GT(countPixels(image, g.form.scorelabel().bounds(), 0, isDark), 400);
}

}  // namespace
}  // namespace vorlane::test
