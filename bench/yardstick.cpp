// SPDX-License-Identifier: MIT
// The yardstick of processor time and wake-ups while playing: a minimal Qt
// falling-block widget written the way small Qt games of this kind are. A
// 10 x 20 board whose occupied cells are bevelled squares (a fill, two light
// and two dark edge lines each) on a plain background: six rows of rubble,
// about half the board's worth of a game in progress, and a falling
// five-block piece that drops one row every 50 ms on a QTimer; Left and Right
// shift it, Down drops it. Every tick repaints the whole board. bench/run.py
// plays it with the same key presses as the game, under the same X server,
// and compares the two.
#include <QApplication>
#include <QColor>
#include <QKeyEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QWidget>
#include <array>

namespace {

constexpr int kColumns = 10;
constexpr int kRows = 20;
constexpr int kCell = 19;   // pixels, about the game's cell
constexpr int kRubble = 6;  // rows

class Board final : public QWidget {
 public:
  Board() {
    setWindowTitle(QStringLiteral("Yardstick"));
    setFixedSize(kColumns * kCell, kRows * kCell);
    // Rubble with a few holes, so that the board is not uniform.
    for (int row = kRows - kRubble; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        cells_[index(row, column)] = (row * 7 + column * 3) % 5 != 0 ? 1 + (row + column) % 6 : 0;
      }
    }
    timer_ = startTimer(50);
  }

 protected:
  void timerEvent(QTimerEvent* event) override {
    if (event->timerId() != timer_) return QWidget::timerEvent(event);
    ++row_;
    if (row_ + 3 >= kRows - kRubble || fastDrops_ > 0) {
      fastDrops_ = 0;
      row_ = 0;
      colour_ = 1 + colour_ % 6;
    }
    update();
  }

  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Left:
        if (column_ > 1) --column_;
        break;
      case Qt::Key_Right:
        if (column_ + 2 < kColumns) ++column_;
        break;
      case Qt::Key_Down:
        ++fastDrops_;
        break;
      default:
        QWidget::keyPressEvent(event);
        return;
    }
    update();
  }

  void paintEvent(QPaintEvent* /*event*/) override {
    static const std::array<QColor, 7> colours = {
        QColor(40, 40, 48),    QColor(204, 102, 102), QColor(102, 204, 102), QColor(102, 102, 204),
        QColor(204, 204, 102), QColor(204, 102, 204), QColor(102, 204, 204)};
    QPainter painter(this);
    painter.fillRect(rect(), colours[0]);
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < kColumns; ++column) {
        int colour = cells_[index(row, column)];
        if (inPiece(row, column)) colour = colour_;
        if (colour != 0) {
          drawSquare(painter, column * kCell, row * kCell,
                     colours[static_cast<std::size_t>(colour)]);
        }
      }
    }
  }

 private:
  // A T of five blocks: three across, two below the middle.
  bool inPiece(int row, int column) const {
    return (row == row_ && column >= column_ - 1 && column <= column_ + 1) ||
           ((row == row_ + 1 || row == row_ + 2) && column == column_);
  }

  static std::size_t index(int row, int column) {
    return static_cast<std::size_t>(row * kColumns + column);
  }

  static void drawSquare(QPainter& painter, int x, int y, const QColor& colour) {
    painter.fillRect(x + 1, y + 1, kCell - 2, kCell - 2, colour);
    painter.setPen(colour.lighter());
    painter.drawLine(x, y + kCell - 1, x, y);
    painter.drawLine(x, y, x + kCell - 1, y);
    painter.setPen(colour.darker());
    painter.drawLine(x + 1, y + kCell - 1, x + kCell - 1, y + kCell - 1);
    painter.drawLine(x + kCell - 1, y + kCell - 1, x + kCell - 1, y + 1);
  }

  std::array<int, kColumns * kRows> cells_{};
  int timer_ = 0;
  int row_ = 0;
  int column_ = kColumns / 2;
  int colour_ = 1;
  int fastDrops_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Board board;
  board.show();
  return QApplication::exec();
}
