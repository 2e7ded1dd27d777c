// SPDX-License-Identifier: MIT
// What the headless tests and the benchmarks share: a Form1 on a
// hand-driven scheduler with a random source of the test's choosing, the
// steps that bring a game into play, prepared scenes and fake text metrics.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane::test {

// Plays back a fixed list of draws (cycling), counting them and recording
// the seeds it is given.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<float> draws = {0.5F}) : draws_(std::move(draws)) {}
  void seed(float value) override { seeds.push_back(value); }
  float next() override { return draws_[count++ % draws_.size()]; }

  std::size_t count = 0;
  std::vector<float> seeds;

 private:
  std::vector<float> draws_;
};

inline constexpr float kNoon = 43200.0F;

// A draw that gives piece p (1 to 24) as floor(u * 24) + 1.
inline float drawForPiece(int p) { return (static_cast<float>(p) - 0.5F) / 24.0F; }
// A draw that gives colour channel c (75 to 255) as u * 180 + 75, rounded.
inline float drawForChannel(int c) { return static_cast<float>(c - 75) / 180.0F; }

// Form1 with a design that a test can vary: another client width (what a
// platform with other frame metrics would give), or a load that only creates
// the controls and leaves them at their design values.
class TestForm final : public Form1 {
 public:
  struct Design {
    Twips clientWidth = 5850;
    bool runStartup = true;
  };

  TestForm(Scheduler& scheduler, RandomSource& random, Design design)
      : Form1(scheduler, random, [] { return kNoon; }), design_(design) {}

 protected:
  void createControls() override {
    Form1::createControls();
    setClientSize(design_.clientWidth, clientHeight());
  }
  void onLoad() override {
    if (design_.runStartup) Form1::onLoad();
  }

 private:
  Design design_;
};

// Well cell number of (row, column).
constexpr int cellAt(int row, int column) { return 12 * row + column + 1; }

// Runs the intro's ticks by hand until play begins and the first piece is
// spawned; the number of ticks it took.
inline int finishIntro(Form1& form) {
  int n = 0;
  for (; n < 10'000 && form.Timer2().interval() != 0; ++n) form.Timer2_Timer();
  return n;
}

// Runs the curtain's ticks by hand until it stops; the number of ticks (14
// for the design window).
inline int openCurtain(Form1& form) {
  int n = 0;
  for (; n < 100 && form.Timer3().interval() != 0; ++n) form.Timer3_Timer();
  return n;
}

// Shows the window and lets the scheduler run until the intro and the curtain
// have stopped: from then on a step of 50 ms fires one gravity tick and
// nothing else.
inline void startPlaying(Scheduler& scheduler, Form1& form) {
  form.show();
  while (form.Timer2().interval() != 0 || form.Timer3().interval() != 0) {
    scheduler.advanceMs(50);
  }
}

// Rows 17 to 20 full but for column 6 and an upright I above that gap,
// falling fast: the next gravity tick locks it and removes four rows (its
// top block stays behind in row 16 and comes down to row 20).
inline void armFourRowLock(Form1& form) {
  for (int row = 1; row <= 20; ++row) {
    for (int column = 1; column <= 10; ++column) {
      Rectangle& cell = form.Shape2(cellAt(row, column));
      cell.setVisible(row >= 17 && column != 6);
      cell.setBackColor(rgb(200, 120, 80));
      cell.setFillStyle(7);
    }
  }
  form.piece = 1;  // I, upright in box column 3
  form.turn = 1;
  form.px = 3;
  form.py = 14;
  form.speed = 1;
}

// Text metrics where every character is 100 twips wide and a line 360 high,
// so that a label's width tells its caption's length.
struct PerCharacterMetrics final : TextMetrics {
  SizeF measure(const Font& /*font*/, const std::string& text) override {
    return {100.0F * static_cast<float>(text.size()), 360};
  }
};

// A loaded Form1 on a fresh record, driven by hand.
struct Game {
  explicit Game(RandomSource& source, TestForm::Design design = {})
      : form(scheduler, source, design) {
    form.show();
  }
  Game() : Game(ownRandom) {}

  // Runs the intro to its end: play has begun and the first piece is spawned.
  // Returns the number of intro ticks it took.
  int finishIntro() { return test::finishIntro(form); }
  // Visible well cells among 1 to 264.
  int visibleCells() const {
    int n = 0;
    for (int k = 1; k <= 264; ++k) n += form.Shape2(k).visible() ? 1 : 0;
    return n;
  }
  bool cellVisible(int row, int column) const { return form.Shape2(cellAt(row, column)).visible(); }
  void setCell(int row, int column, bool on = true) {
    form.Shape2(cellAt(row, column)).setVisible(on);
  }
  void fillRow(int row, bool on = true) {
    for (int c = 1; c <= 10; ++c) setCell(row, c, on);
  }
  // The interior rows 1 to 20 as pictures of '#' and '.', for whole-well checks.
  std::vector<std::string> interior() const {
    std::vector<std::string> rows;
    for (int r = 1; r <= 20; ++r) {
      std::string line;
      for (int c = 1; c <= 10; ++c) line += cellVisible(r, c) ? '#' : '.';
      rows.push_back(line);
    }
    return rows;
  }

  // Puts `piece` in rotation state `turn` at (px, py) and draws it as a
  // gravity step of speed 0 would; `speed` is kept.
  void place(int piece, int turn, int px, float py) {
    form.piece = piece;
    form.turn = turn;
    form.px = px;
    form.py = py;
    const float speed = form.speed;
    form.speed = 0;
    form.drop();
    form.speed = speed;
  }
  // Gravity steps until the piece lands; the number of steps, or -1.
  int dropUntilLanded(int limit = 1000) {
    for (int n = 1; n <= limit; ++n) {
      form.drop();
      if (form.landed) return n;
    }
    return -1;
  }
  // Box cells of `piece` in state `turn`: rows 1 to 5 joined by '/', '#' for
  // a block.
  std::string boxPicture(int piece, int turn) const {
    std::string picture;
    for (int i = 1; i <= 5; ++i) {
      for (int j = 1; j <= 5; ++j) picture += form.filledAt(piece, turn, i, j) ? '#' : '.';
      if (i < 5) picture += '/';
    }
    return picture;
  }
  // Element numbers (1 to 25) on show of the falling piece and of the preview.
  std::vector<int> shownBlocks() const { return shown(form.Shape1()); }
  std::vector<int> shownPreview() const { return shown(form.Shape3()); }
  static std::vector<int> shown(const RectangleArray& blocks) {
    std::vector<int> on;
    for (int k = 1; k <= 25; ++k) {
      if (blocks(k).visible()) on.push_back(k);
    }
    return on;
  }

  Random ownRandom{1.0F};
  Scheduler scheduler;
  TestForm form;
};

// Writes a pattern of the test's own into the record's piece table (the
// texts must outlive the test, as literals do).
inline void setPattern(GameState& s, int piece, const std::array<std::string_view, 5>& rows) {
  for (std::size_t r = 0; r < 5; ++r) s.shapes[static_cast<std::size_t>(piece)][r + 1] = rows[r];
}

}  // namespace vorlane::test
