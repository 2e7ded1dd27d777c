// SPDX-License-Identifier: MIT
// What a screen reader finds in the window, asked through Qt's accessibility
// as the desktop's accessibility bridge asks.
#include <gtest/gtest.h>

#include <QAccessible>
#include <utility>

#include "viewed_game.h"

namespace vorlane::test {
namespace {

// The child of `parent` whose name is `name`, or nullptr.
QAccessibleInterface* childNamed(QAccessibleInterface* parent, const QString& name) {
  for (int i = 0; i < parent->childCount(); ++i) {
    QAccessibleInterface* child = parent->child(i);
    if (child != nullptr && child->text(QAccessible::Name) == name) return child;
  }
  return nullptr;
}

QAccessibleInterface* windowOf(ViewedGame& g) {
  return QAccessible::queryAccessibleInterface(&g.view);
}

TEST(Accessible, WindowIsNamedByItsCaption) {
  ViewedGame g;
  QAccessibleInterface* window = windowOf(g);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Zarvex"));
  EXPECT_EQ(g.view.windowTitle(), QStringLiteral("Zarvex"));
}

TEST(Accessible, CountersReadAsTheirCaptions) {
  ViewedGame g;
  g.openCurtain();
  for (int n = 0; n < 15; ++n) g.form.addscore();
  ASSERT_EQ(g.form.scorelabel().caption(), "Score:000150");

  QAccessibleInterface* window = windowOf(g);
  QAccessibleInterface* score = childNamed(window, QStringLiteral("Score:000150"));
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(score->role(), QAccessible::StaticText);
  EXPECT_EQ(score->text(QAccessible::Value), QStringLiteral("000150"));
  EXPECT_TRUE(score->isValid());
  EXPECT_EQ(score->parent(), window);
  EXPECT_EQ(window->child(window->indexOfChild(score)), score);

  for (const char* caption : {"HiScore:000150", "Rows:000", "Blocks:0000", "Next Piece:"}) {
    QAccessibleInterface* label = childNamed(window, QString::fromLatin1(caption));
    ASSERT_NE(label, nullptr) << caption;
    EXPECT_EQ(label->role(), QAccessible::StaticText) << caption;
  }
}

TEST(Accessible, ButtonsAreNamedByTheirCaptions) {
  ViewedGame g;
  QAccessibleInterface* window = windowOf(g);
  const std::pair<const PushButton*, QString> buttons[] = {
      {&g.form.Pause(), QStringLiteral("Pause")},
      {&g.form.Command1(), QStringLiteral("Game Over")}};
  for (const auto& [model, caption] : buttons) {
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(g.button(*model));
    ASSERT_NE(button, nullptr) << caption.toStdString();
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(button->text(QAccessible::Name), caption);
    EXPECT_GE(window->indexOfChild(button), 0);
  }
}

TEST(Accessible, LabelsLieWhereTheyAreDrawn) {
  ViewedGame g;
  g.showWindow();
  g.openCurtain();
  QAccessibleInterface* window = windowOf(g);
  QAccessibleInterface* rows = childNamed(window, QStringLiteral("Rows:000"));
  ASSERT_NE(rows, nullptr);
  const QRect local = desktop::View::pixelRect(g.form.rowslabel().bounds());
  EXPECT_EQ(rows->rect(), QRect(g.view.mapToGlobal(local.topLeft()), local.size()));
  EXPECT_FALSE(rows->state().invisible);
  const QPoint centre = rows->rect().center();
  EXPECT_EQ(window->childAt(centre.x(), centre.y()), rows);
}

TEST(Accessible, LabelsOutliveARestartOfTheWindow) {
  ViewedGame g;
  g.openCurtain();
  g.form.addscore();
  QAccessibleInterface* score = childNamed(windowOf(g), QStringLiteral("Score:000010"));
  ASSERT_NE(score, nullptr);
  g.form.unload();
  EXPECT_FALSE(score->isValid());
  g.form.show();
  EXPECT_TRUE(score->isValid());
  EXPECT_EQ(score->text(QAccessible::Name), QStringLiteral("Score:000000"));
}

}  // namespace
}  // namespace vorlane::test
