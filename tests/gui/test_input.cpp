// SPDX-License-Identifier: MIT
// Real key events and clicks reach the game through the view.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

#include "viewed_game.h"

namespace vorlane::test {
namespace {

TEST(Input, PShowsThePauseButton) {
  ViewedGame g;
  g.showWindow();
  QPushButton* pause = g.button(g.form.Pause());
  ASSERT_NE(pause, nullptr);
  EXPECT_FALSE(pause->isVisible());

  QTest::keyClick(&g.view, Qt::Key_P);
  EXPECT_TRUE(g.form.Pause().visible());
  EXPECT_FALSE(g.form.Timer3().enabled());
  EXPECT_TRUE(pause->isVisible());

  // A click on it resumes: it hides again and the timers run.
  g.openCurtain();  // the curtain panels would catch the click
  QTest::mouseClick(pause, Qt::LeftButton);
  EXPECT_FALSE(g.form.Pause().visible());
  EXPECT_TRUE(g.form.Timer3().enabled());
  EXPECT_FALSE(pause->isVisible());
}

TEST(Input, ArrowKeysMoveThePieceAutoRepeatsIncluded) {
  ViewedGame g;
  g.showWindow();
  g.startPlay();
  ASSERT_EQ(g.form.px, 3);

  QTest::keyClick(&g.view, Qt::Key_Left);
  EXPECT_EQ(g.form.px, 2);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, QString(), true);
  QCoreApplication::sendEvent(&g.view, &repeat);
  EXPECT_EQ(g.form.px, 1);
  QTest::keyClick(&g.view, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(g.form.px, 2);
  QTest::keyClick(&g.view, Qt::Key_Down);
  EXPECT_EQ(g.form.speed, 1.0F);
}

// A key as a Russian layout reports it: the Cyrillic capital and the key's
// xkb keycode.
void pressRussian(QWidget& target, int cyrillicCapital, quint32 xkbKeycode) {
  QKeyEvent press(QEvent::KeyPress, cyrillicCapital, Qt::NoModifier, xkbKeycode, 0, 0,
                  QString(QChar(cyrillicCapital)).toLower());
  QCoreApplication::sendEvent(&target, &press);
}

TEST(Input, TurnAndPauseKeysWorkOnARussianLayout) {
  ViewedGame g;
  g.showWindow();
  g.startPlay();
  const int turn = g.form.turn;
  pressRussian(g.view, 0x0424, 38);  // ф, on A's key: turns one way
  const int turnedA = g.form.turn;
  EXPECT_NE(turnedA, turn);
  pressRussian(g.view, 0x042B, 39);  // ы, on S's key: and back
  EXPECT_EQ(g.form.turn, turn);
  pressRussian(g.view, 0x0412, 40);  // в, on D's key: no key of the game
  EXPECT_EQ(g.form.turn, turn);
  EXPECT_FALSE(g.form.Pause().visible());
  pressRussian(g.view, 0x0417, 33);  // з, on P's key
  EXPECT_TRUE(g.form.Pause().visible());
  EXPECT_FALSE(g.form.Timer1().enabled());
}

TEST(Input, KeysReachTheGameWhicheverWidgetGetsThem) {
  ViewedGame g;
  g.showWindow();
  g.startPlay();
  // A key sent to a curtain panel, as if it had the focus.
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QCoreApplication::sendEvent(g.view.widgetFor(g.form.covertop()), &left);
  EXPECT_EQ(g.form.px, 2);
}

TEST(Input, TheInputHookRunsBeforeEveryKey) {
  ViewedGame g;
  g.showWindow();
  g.startPlay();
  std::vector<int> seen;
  g.view.setInputHook([&] { seen.push_back(g.form.px); });
  QTest::keyClick(&g.view, Qt::Key_Left);
  QTest::keyClick(&g.view, Qt::Key_F13);  // no key of the game: nothing runs
  QTest::keyClick(&g.view, Qt::Key_Left);
  // Tab is a key like any other, not a move of the focus.
  QTest::keyClick(&g.view, Qt::Key_Tab);
  EXPECT_EQ(seen, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(g.form.px, 1);
}

TEST(Input, GameOverButtonRestartsTheGame) {
  ViewedGame g;
  g.showWindow();
  g.openCurtain();
  g.finishIntro();
  g.playToGameOver();
  ASSERT_TRUE(g.form.Command1().visible());
  const unsigned best = g.form.hiscore.value();
  EXPECT_GT(best, 0U);

  QPointer<QPushButton> over = g.button(g.form.Command1());
  ASSERT_FALSE(over.isNull());
  EXPECT_TRUE(over->isVisible());
  // Centred in the window, in its design size.
  EXPECT_EQ(over->geometry(), qt::View::pixelRect(g.form.Command1().bounds()));
  EXPECT_NEAR(over->geometry().center().x(), g.view.width() / 2, 1);
  EXPECT_NEAR(over->geometry().center().y(), g.view.height() / 2, 1);

  g.view.move(0, 0);  // moved away by the player
  QTest::mouseClick(over, Qt::LeftButton);
  // The old button goes with the old window, by a deferred deletion.
  EXPECT_TRUE(QTest::qWaitFor([&] { return over.isNull(); }, 10'000));

  // Centred again, as every new window is.
  const QPoint screenCentre = g.view.screen()->availableGeometry().center();
  EXPECT_NEAR(g.view.frameGeometry().center().x(), screenCentre.x(), 1);
  EXPECT_NEAR(g.view.frameGeometry().center().y(), screenCentre.y(), 1);

  // A new game in the same window: counters reset, best score kept, both
  // (new) buttons hidden, the old button gone, the curtain closed.
  EXPECT_TRUE(over.isNull());
  EXPECT_TRUE(g.view.isVisible());
  EXPECT_TRUE(g.form.loaded());
  EXPECT_EQ(g.form.Timer2().interval(), 1);
  EXPECT_EQ(g.form.scorelabel().caption(), "Score:000000");
  EXPECT_EQ(g.form.rowslabel().caption(), "Rows:000");
  EXPECT_EQ(g.form.piecelabel().caption(), "Blocks:0000");
  EXPECT_EQ(g.form.hiscore.value(), best);
  const QList<QPushButton*> buttons = g.view.findChildren<QPushButton*>();
  EXPECT_EQ(buttons.size(), 2);
  for (const QPushButton* b : buttons) EXPECT_TRUE(b->isHidden());
  ASSERT_NE(g.button(g.form.Command1()), nullptr);
  EXPECT_TRUE(g.button(g.form.Command1())->isHidden());
  const QImage image = g.picture();
  EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 4), QColor(Qt::black));

  // And the new game plays.
  g.openCurtain();
  g.startPlay();
  QTest::keyClick(&g.view, Qt::Key_Left);
  EXPECT_EQ(g.form.px, 2);
}

}  // namespace
}  // namespace vorlane::test
