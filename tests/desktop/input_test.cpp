// SPDX-License-Identifier: MIT
// Real key events and clicks reach the game through the view.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <vector>

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
  EXPECT_EQ(over->geometry(), desktop::View::pixelRect(g.form.Command1().bounds()));
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

// --- Playing without a mouse: Tab reaches the buttons, Space or Enter presses them.

// A shown and active window, with the view holding the focus, and keys
// pressed as the platform delivers them: to the focus widget.
struct KeyboardGame : ViewedGame {
  KeyboardGame() {
    showWindow();
    view.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
    EXPECT_EQ(QApplication::focusWidget(), &view);
  }
  void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(view.windowHandle(), key, modifiers);
  }
  QWidget* focus() const { return QApplication::focusWidget(); }
};

TEST(KeyboardButtons, TabFollowsTheDesignOrderAmongTheButtonsOnShow) {
  KeyboardGame g;
  g.openCurtain();
  g.finishIntro();
  g.playToGameOver();
  g.press(Qt::Key_P);  // both buttons on show
  QPushButton* over = g.button(g.form.Command1());
  QPushButton* pause = g.button(g.form.Pause());
  ASSERT_TRUE(over->isVisible() && pause->isVisible());

  g.press(Qt::Key_Tab);
  EXPECT_EQ(g.focus(), over);  // "Game Over" first, although made after "Pause"
  g.press(Qt::Key_Tab);
  EXPECT_EQ(g.focus(), pause);
  g.press(Qt::Key_Tab);
  EXPECT_EQ(g.focus(), over);
  g.press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(g.focus(), pause);
  g.press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(g.focus(), over);
  // Ctrl+Tab moves no focus; it is the game's key, and the game ignores it.
  g.press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(g.focus(), over);
  EXPECT_TRUE(g.form.Command1().visible());
  EXPECT_TRUE(g.form.Pause().visible());
}

TEST(KeyboardButtons, ShiftTabFromTheViewReachesTheLastButton) {
  KeyboardGame g;
  g.openCurtain();
  g.finishIntro();
  g.playToGameOver();
  g.press(Qt::Key_P);
  g.press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(g.focus(), g.button(g.form.Pause()));
}

TEST(KeyboardButtons, PauseResumesBySpaceOrEnterAndGameKeysStillPlay) {
  KeyboardGame g;
  g.startPlay();
  int hooks = 0;
  bool pausedAtHook = false;
  g.view.setInputHook([&] {
    ++hooks;
    pausedAtHook = g.form.Pause().visible();
  });
  QPushButton* pause = g.button(g.form.Pause());
  for (const auto& [key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
           {Qt::Key_Space, Qt::NoModifier},
           {Qt::Key_Return, Qt::NoModifier},
           {Qt::Key_Enter, Qt::KeypadModifier}}) {
    SCOPED_TRACE(QKeySequence(key).toString().toStdString());
    g.press(Qt::Key_P);
    ASSERT_TRUE(pause->isVisible());
    EXPECT_EQ(g.focus(), &g.view);  // shown, not focused
    g.press(Qt::Key_Tab);
    ASSERT_EQ(g.focus(), pause);

    // The game's keys still reach the game: the paused piece shifts.
    const int px = g.form.px;
    hooks = 0;
    g.press(Qt::Key_Left);
    EXPECT_EQ(g.form.px, px - 1);
    g.press(Qt::Key_Right);
    EXPECT_EQ(g.form.px, px);
    EXPECT_EQ(hooks, 2);
    EXPECT_EQ(g.focus(), pause);
    EXPECT_FALSE(g.form.Timer1().enabled());

    // The key presses the button as a click does: the input hook first,
    // then the model's click, which resumes and hides it.
    hooks = 0;
    g.press(key, modifiers);
    EXPECT_EQ(hooks, 1);
    EXPECT_TRUE(pausedAtHook);
    EXPECT_FALSE(g.form.Pause().visible());
    EXPECT_TRUE(g.form.Timer1().enabled());
    EXPECT_FALSE(pause->isVisible());
    // The focus is back on the view, and the game's keys with it.
    EXPECT_EQ(g.focus(), &g.view);
    g.press(Qt::Key_Left);
    EXPECT_EQ(g.form.px, px - 1);
    g.press(Qt::Key_Right);
  }
}

TEST(KeyboardButtons, WithNoButtonOnShowTabSpaceAndEnterStayTheGamesKeys) {
  KeyboardGame g;
  g.startPlay();
  int hooks = 0;
  g.view.setInputHook([&] { ++hooks; });
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Return}) {
    g.press(key);
  }
  EXPECT_EQ(hooks, 4);
  EXPECT_EQ(g.focus(), &g.view);
  EXPECT_FALSE(g.form.Pause().visible());
  EXPECT_TRUE(g.form.Timer1().enabled());
}

TEST(KeyboardButtons, AFocusedRingShowsOnTheButtonAndNowhereElse) {
  KeyboardGame g;
  g.openCurtain();
  g.startPlay();
  g.press(Qt::Key_P);
  const QImage before = g.picture();
  g.press(Qt::Key_Tab);
  ASSERT_EQ(g.focus(), g.button(g.form.Pause()));
  const QImage after = g.picture();
  ASSERT_EQ(before.size(), after.size());
  const QRect button = g.button(g.form.Pause())->geometry();
  const qreal dpr = after.devicePixelRatio();
  int inside = 0;
  int outside = 0;
  for (int y = 0; y < after.height(); ++y) {
    for (int x = 0; x < after.width(); ++x) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      ++(button.contains(QPoint(static_cast<int>(x / dpr), static_cast<int>(y / dpr))) ? inside
                                                                                       : outside);
    }
  }
  EXPECT_GT(inside, 20) << "the focus shows";
  EXPECT_EQ(outside, 0);
}

TEST(KeyboardButtons, GameOverRestartsBySpaceOrEnterAndTheFocusReturnsToTheView) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
    SCOPED_TRACE(QKeySequence(key).toString().toStdString());
    KeyboardGame g;
    g.openCurtain();
    g.finishIntro();
    g.playToGameOver();
    const unsigned best = g.form.hiscore.value();
    ASSERT_GT(best, 0U);
    QPointer<QPushButton> over = g.button(g.form.Command1());
    g.press(Qt::Key_Tab);
    ASSERT_EQ(g.focus(), over);

    // The click unloads the window and destroys the focused button inside
    // its own handler.
    g.press(key);
    EXPECT_EQ(g.form.scorelabel().caption(), "Score:000000");
    EXPECT_EQ(g.form.hiscore.value(), best);
    EXPECT_EQ(g.focus(), &g.view);
    EXPECT_TRUE(QTest::qWaitFor([&] { return over.isNull(); }, 10'000));
    EXPECT_EQ(g.focus(), &g.view);
    EXPECT_FALSE(g.form.Command1().visible());

    // The new game plays from the keyboard.
    g.openCurtain();
    g.startPlay();
    g.press(Qt::Key_Left);
    EXPECT_EQ(g.form.px, 2);
  }
}

}  // namespace
}  // namespace vorlane::test
