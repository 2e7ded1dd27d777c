// SPDX-License-Identifier: MIT
// Writes the fuzzer's seeds as games played in its own language (see
// event_player.h), and checks that seeds still do what their names say.
//
//   make_seeds DIR          writes the seeds into DIR
//   make_seeds --check DIR  replays the seeds in DIR; fails unless each does
//
// Random bytes seldom fill a row, so three seeds are played by the soak
// test's aiming player: it stacks pieces flat with the rightmost column
// left open, picks each coming piece by skipping draws of the random source,
// and finishes with a piece that fills one, two or four rows at once.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "aimer.h"
#include "event_player.h"

namespace {

using vorlane::Form1;
using vorlane::Random;
using vorlane::fuzz::EventPlayer;
using vorlane::test::Aimer;
namespace op = vorlane::fuzz;

using Bytes = std::vector<std::uint8_t>;

// Plays each event as it is written, so the writer sees what the fuzzer will.
class Recorder {
 public:
  void emit(std::initializer_list<std::uint8_t> event) {
    const std::size_t start = bytes_.size();
    bytes_.insert(bytes_.end(), event);
    player_.play(bytes_.data(), bytes_.size(), start);
  }
  const Form1& form() const { return player_.form(); }
  const Random& random() const { return player_.random(); }
  const Bytes& bytes() const { return bytes_; }

 private:
  EventPlayer player_;
  Bytes bytes_;
};

// What a replay showed: the rows each event removed, and how the game went.
struct Replay {
  std::map<unsigned, int> clears;  // rows removed by one event -> how often
  bool gameOver = false;
  std::uint64_t loads = 0;
  std::uint64_t steps = 0;
};

Replay replay(const Bytes& bytes) {
  EventPlayer player;
  Replay r;
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::uint64_t loads = player.form().loads();
    const unsigned rows = player.form().rows.value();
    pos = player.play(bytes.data(), bytes.size(), pos);
    const Form1& f = player.form();
    if (f.loads() == loads && f.rows.value() != rows) ++r.clears[f.rows.value() - rows];
    r.gameOver = r.gameOver || f.Command1().visible();
  }
  r.loads = player.form().loads();
  r.steps = player.steps();
  return r;
}

// The same draw the game makes for a piece.
int pieceOf(float u) { return static_cast<int>(std::clamp(std::floor(u * 24.0), 0.0, 23.0)) + 1; }

struct Plan {
  bool found = false;
  bool finishes = false;  // removes exactly the rows wanted
  int turn = 1;
  int px = 3;
  long score = LONG_MIN;
};

// A flat, hole-free stack with the rightmost column open: no row is full
// until a piece goes down that column.
long buildScore(const Aimer::Grid& g) {
  long score = 0;
  int lastTop = -1;
  for (int c = 1; c <= 10; ++c) {
    const int top = Aimer::columnTop(g, c);
    score -= 100L * Aimer::holesIn(g, c);
    if (c == 10) {
      score -= (21 - top) * 1000;
      continue;
    }
    score -= 21 - top;
    if (lastTop >= 0) score -= 4L * std::abs(top - lastTop);
    lastTop = top;
  }
  return score;
}

Plan best(const Form1& f, const Aimer::Grid& well, int piece, int rowsWanted) {
  Plan plan;
  for (int turn = 1; turn <= 4; ++turn) {
    for (int px = -2; px <= 10; ++px) {
      Aimer::Grid g = well;
      if (!Aimer::place(f, piece, turn, px, g)) continue;
      const int full = Aimer::fullRows(g);
      if (full == rowsWanted) return {true, true, turn, px, LONG_MAX};
      if (full > 0) continue;
      const long s = buildScore(g);
      if (s > plan.score) plan = {true, false, turn, px, s};
    }
  }
  return plan;
}

// One try at a game that removes `rowsWanted` rows with one piece, from the
// draw `offset` of the random source on; empty when it does not come off.
Bytes clearRows(int rowsWanted, int offset) {
  Recorder rec;
  for (int k = 0; k < offset; ++k) rec.emit({op::kSkipDraw});
  rec.emit({op::kAdvance, 255});  // through the intro: play starts
  const Form1& f = rec.form();
  for (int pieces = 0; pieces < 60; ++pieces) {
    if (!f.Timer1().armed()) return {};
    const Aimer::Grid well = Aimer::wellOf(f);
    const Plan now = best(f, well, f.piece, rowsWanted);
    if (!now.found) return {};
    Aimer::Grid after = well;
    Aimer::place(f, f.piece, now.turn, now.px, after);
    int skips = 0;
    if (!now.finishes) {
      // Plan the next piece too, then pick the one after it: the draw for it
      // is made when this piece locks, so skipped draws now choose it.
      const Plan next = best(f, after, f.nextpiece, rowsWanted);
      if (!next.found) return {};
      if (!next.finishes) {
        Aimer::Grid later = after;
        Aimer::place(f, f.nextpiece, next.turn, next.px, later);
        Random probe = rec.random();
        long bestValue = LONG_MIN;
        for (int s = 0; s < 48; ++s) {
          Random draw = probe;
          const Plan p = best(f, later, pieceOf(draw.next()), rowsWanted);
          const long value = !p.found ? LONG_MIN : p.finishes ? LONG_MAX - s : p.score - 3L * s;
          if (value > bestValue) {
            bestValue = value;
            skips = s;
          }
          probe.next();
        }
      }
    }
    for (int s = 0; s < skips; ++s) rec.emit({op::kSkipDraw});
    const unsigned rows = f.rows.value();
    const unsigned blocks = f.blocks.value();
    rec.emit({op::kPlace, op::placeArgument(now.turn, now.px)});
    // The game must go as planned: one lock, rows only at the end.
    if (f.blocks.value() != blocks + 1) return {};
    const unsigned cleared = f.rows.value() - rows;
    if (now.finishes) return cleared == static_cast<unsigned>(rowsWanted) ? rec.bytes() : Bytes{};
    if (cleared != 0) return {};
  }
  return {};
}

Bytes rowsSeed(int rowsWanted) {
  for (int offset = 0; offset < 64; ++offset) {
    Bytes b = clearRows(rowsWanted, offset);
    if (!b.empty()) return b;
  }
  std::fprintf(stderr, "make_seeds: no game found that removes %d rows at once\n", rowsWanted);
  std::exit(1);
}

// Time alone: the pieces fall in the middle until the game is over.
Bytes idleSeed() {
  Bytes b;
  for (int n = 0; n < 300; ++n) b.insert(b.end(), {op::kAdvance, 255});
  return b;
}

// Every command key and the Pause button, at varied pace.
Bytes keysSeed() {
  Bytes b;
  for (int n = 0; n < 400; ++n) {
    b.insert(b.end(), {op::kAdvance, static_cast<std::uint8_t>(12 + n % 64)});
    b.push_back(static_cast<std::uint8_t>(op::kLeft + n % 7));  // 5 to 11
  }
  return b;
}

// Ticks out of turn, all three timers in every order.
Bytes ticksSeed() {
  Bytes b;
  for (int n = 0; n < 500; ++n) {
    b.push_back(static_cast<std::uint8_t>(2 - n % 3));
    b.push_back(static_cast<std::uint8_t>(n % 3));
  }
  return b;
}

// Games dropped fast to their end and restarted from the button; then
// restarts no player can make, in the intro, the curtain and play.
Bytes restartsSeed() {
  Recorder rec;
  for (int game = 0; game < 3; ++game) {
    for (int n = 0; n < 2000 && !rec.form().Command1().visible(); ++n) {
      rec.emit({op::kDown});
      rec.emit({op::kAdvance, 60});
    }
    rec.emit({op::kGameOverClick, 1});
  }
  for (const std::uint8_t wait : {0, 40, 200}) {
    rec.emit({op::kAdvance, wait});
    rec.emit({op::kGameOverClick, 0});
  }
  return rec.bytes();
}

struct Seed {
  const char* name;
  std::function<Bytes()> make;
  std::function<bool(const Replay&)> holds;
  const char* what;
};

std::vector<Seed> seeds() {
  const auto clearsAtOnce = [](unsigned n) {
    return [n](const Replay& r) { return r.clears.count(n) > 0; };
  };
  return {
      {"seed-rows-1", [] { return rowsSeed(1); }, clearsAtOnce(1), "removes one row with a piece"},
      {"seed-rows-2", [] { return rowsSeed(2); }, clearsAtOnce(2), "removes two rows with a piece"},
      {"seed-rows-4", [] { return rowsSeed(4); }, clearsAtOnce(4),
       "removes four rows with a piece"},
      {"seed-idle-game", idleSeed, [](const Replay& r) { return r.gameOver; }, "ends the game"},
      {"seed-keys", keysSeed, [](const Replay& r) { return r.steps == 800; }, "plays 800 events"},
      {"seed-ticks", ticksSeed, [](const Replay& r) { return r.steps == 1000; },
       "plays 1000 events"},
      {"seed-restarts", restartsSeed, [](const Replay& r) { return r.gameOver && r.loads == 7; },
       "restarts six times"},
  };
}

Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  const bool checking = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !checking) {
    std::fprintf(stderr, "usage: make_seeds [--check] DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[argc - 1];
  int failed = 0;
  for (const Seed& seed : seeds()) {
    const std::filesystem::path path = dir / seed.name;
    Bytes bytes;
    if (checking) {
      bytes = readFile(path);
    } else {
      bytes = seed.make();
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
    }
    const bool holds = !bytes.empty() && seed.holds(replay(bytes));
    std::printf("%-16s %6zu bytes  %s: %s\n", seed.name, bytes.size(), seed.what,
                holds ? "yes" : "NO");
    failed += holds ? 0 : 1;
  }
  return failed == 0 ? 0 : 1;
}
