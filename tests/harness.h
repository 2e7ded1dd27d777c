// Headless game fixtures: a Form1 on a hand-driven scheduler and a random
// source of the test's choosing.
#pragma once

#include <cstddef>
#include <functional>
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

// A loaded Form1 on a fresh record, driven by hand.
struct Game {
  explicit Game(RandomSource& source) : form(scheduler, source, [] { return kNoon; }) {
    form.show();
  }
  Game() : Game(ownRandom) {}

  // Runs the intro to its end: play has begun and the first piece is spawned.
  void finishIntro() {
    for (int n = 0; n < 10'000 && form.Timer2().interval() != 0; ++n) form.Timer2_Timer();
  }
  // Visible well cells among 1 to 264.
  int visibleCells() const {
    int n = 0;
    for (int k = 1; k <= 264; ++k) n += form.Shape2(k).visible() ? 1 : 0;
    return n;
  }
  bool cellVisible(int row, int column) const {
    return form.Shape2(12 * row + column + 1).visible();
  }
  void fillRow(int row, bool on = true) {
    for (int c = 1; c <= 10; ++c) form.Shape2(12 * row + c + 1).setVisible(on);
  }

  Random ownRandom{1.0F};
  Scheduler scheduler;
  Form1 form;
};

}  // namespace vorlane::test
