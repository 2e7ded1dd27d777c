// SPDX-License-Identifier: MIT
// Restart endurance: a thousand games ended and restarted through a real
// click on the "Game Over" button, with the view's widgets and the
// process's resident memory checked for growth.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include "viewed_game.h"

#if defined(__SANITIZE_ADDRESS__)
#define VORLANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORLANE_ASAN 1
#endif
#endif

namespace vorlane::test {
namespace {

// The resident set of this process in bytes, from /proc/self/statm (its
// second field, in pages).
long long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long long size = 0;
  long long resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// Everything posted so far is handled, the deferred deletion of the old
// buttons and panels included, as the event loop would once the click's
// handler has returned.
void settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

// One game from the closed curtain to the "Game Over" button: the curtain
// and the intro by their timers, then every piece, once in the well,
// shifted a few columns either way, perhaps turned, and brought down by the
// Down key, each a real key press sent to the view, and gravity.
void playQuicklyToGameOver(ViewedGame& g, std::minstd_rand& keys) {
  g.openCurtain();
  g.finishIntro();
  for (int n = 0; n < 100'000 && !g.form.Command1().visible(); ++n) {
    // Above the well the top wall blocks every shift: the keys come once
    // the piece is in.
    if (g.form.speed != 1.0F && g.form.py >= 1) {
      const auto shift = static_cast<int>(keys() % 9) - 4;
      for (int k = 0; k < std::abs(shift); ++k) {
        QTest::keyClick(&g.view, shift < 0 ? Qt::Key_Left : Qt::Key_Right);
      }
      if (keys() % 2 == 0) QTest::keyClick(&g.view, Qt::Key_A);
      QTest::keyClick(&g.view, Qt::Key_Down);
    }
    g.form.Timer1_Timer();
  }
}

// The count and kinds of everything the view holds, recursively.
struct Holdings {
  int children = 0;  // direct QObject children
  int widgets = 0;   // widgets at any depth
  int buttons = 0;
  bool operator==(const Holdings&) const = default;
};

Holdings holdingsOf(const QWidget& view) {
  return {static_cast<int>(view.children().size()),
          static_cast<int>(view.findChildren<QWidget*>().size()),
          static_cast<int>(view.findChildren<QPushButton*>().size())};
}

// The offscreen platform warns at every change of the window's fixed size,
// two a load; a thousand loads would bury the test's own output.
QtMessageHandler previousHandler = nullptr;
void withoutSizeHintWarnings(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
  if (message.contains(QLatin1String("propagateSizeHints"))) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}

constexpr int kRestarts = 1000;
constexpr int kWarmUp = 100;
// The allowed growth of the resident set between the 100th restart and the
// last: 2 MiB over 900 restarts, 2.3 KiB a restart. Measured growth is some
// 50 KiB, the allocator's pools and Qt's glyph and backing store caches
// settling. Leaking the four Qt widgets of each load (two buttons, two
// panels) grew it by 5.6 MiB when tried, and one load's model controls,
// some 330 of them, weigh far more; a leak of single small objects is left
// to LeakSanitizer in the sanitizer build, and to the widget count here.
constexpr long long kMargin = 2LL << 20;

TEST(Restarts, AThousandRestartsThroughTheGameOverButtonLeakNothing) {
  previousHandler = qInstallMessageHandler(withoutSizeHintWarnings);
  struct Restore {
    ~Restore() { qInstallMessageHandler(previousHandler); }
  } restore;
  ViewedGame g;
  g.showWindow();
  settle();
  const Holdings before = holdingsOf(g.view);
  ASSERT_EQ(before.buttons, 2);  // Pause and Command1

  long long atWarmUp = 0;
  long long pieces = 0;
  long long rows = 0;
  std::minstd_rand keys(6);  // a fixed seed: a failure replays
  for (int restart = 1; restart <= kRestarts; ++restart) {
    playQuicklyToGameOver(g, keys);
    ASSERT_TRUE(g.form.Command1().visible()) << "no game over before restart " << restart;
    QPointer<QPushButton> over = g.button(g.form.Command1());
    ASSERT_FALSE(over.isNull());
    ASSERT_TRUE(over->isVisible());
    pieces += g.form.blocks.value();
    rows += g.form.rows.value();

    g.timeOfDay = static_cast<float>(restart);  // another game each time
    QTest::mouseClick(over, Qt::LeftButton);
    settle();

    // A new game: the old button gone, a new one hidden, nothing more held.
    ASSERT_TRUE(over.isNull()) << "restart " << restart;
    ASSERT_TRUE(g.form.loaded());
    ASSERT_FALSE(g.form.Command1().visible());
    ASSERT_EQ(g.form.blocks.value(), 0U);
    ASSERT_EQ(holdingsOf(g.view), before) << "restart " << restart;
    if (restart == kWarmUp) atWarmUp = residentBytes();
  }
  const long long atEnd = residentBytes();
  std::printf(
      "restarts: %d (%lld pieces locked, %lld rows cleared); resident memory after "
      "restart %d: %lld KiB, after restart %d: %lld KiB (%+lld KiB); widgets held: %d, "
      "of which %d buttons\n",
      kRestarts, pieces, rows, kWarmUp, atWarmUp >> 10, kRestarts, atEnd >> 10,
      (atEnd - atWarmUp) >> 10, before.widgets, before.buttons);
  std::fflush(stdout);
#if defined(VORLANE_ASAN)
  // AddressSanitizer holds freed memory in quarantine and grows the
  // resident set on its own; it reports real leaks itself at exit.
  GTEST_LOG_(INFO) << "memory assertion skipped under AddressSanitizer";
#else
  EXPECT_LE(atEnd - atWarmUp, kMargin) << "the resident set grows with restarts";
#endif

  // The last new game still plays.
  g.openCurtain();
  g.startPlay();
  const int column = g.form.px;
  QTest::keyClick(&g.view, Qt::Key_Left);
  EXPECT_EQ(g.form.px, column - 1);
}

}  // namespace
}  // namespace vorlane::test
