// SPDX-License-Identifier: MIT
#include "aimer.h"

#include <cstdlib>

namespace vorlane::test {

Aimer::Grid Aimer::wellOf(const Form1& f) {
  Grid well{};
  for (int r = 0; r < 22; ++r) {
    for (int c = 0; c < 12; ++c) well[r][c] = f.Shape2(12 * r + c + 1).visible();
  }
  return well;
}

bool Aimer::place(const Form1& f, int piece, int turn, int px, Grid& g) {
  for (int py = -4; py <= 20; ++py) {
    bool rests = false;
    for (int i = 1; i <= 5 && !rests; ++i) {
      for (int j = 1; j <= 5 && !rests; ++j) {
        if (!f.filledAt(piece, turn, i, j)) continue;
        const int r = py + i + 1;
        const int c = px + j;
        if (c < 1 || c > 10) return false;
        rests = r > 21 || (r >= 2 && g[r][c]);
      }
    }
    if (!rests) continue;
    for (int i = 1; i <= 5; ++i) {
      for (int j = 1; j <= 5; ++j) {
        if (!f.filledAt(piece, turn, i, j)) continue;
        const int r = py + i;
        if (r < 1 || g[r][px + j]) return false;
        g[r][px + j] = true;
      }
    }
    return true;
  }
  return false;
}

int Aimer::fullRows(const Grid& g) {
  int full = 0;
  for (int r = 1; r <= 20; ++r) {
    bool all = true;
    for (int c = 1; c <= 10; ++c) all = all && g[r][c];
    full += all ? 1 : 0;
  }
  return full;
}

int Aimer::columnTop(const Grid& g, int c) {
  int top = 21;
  for (int r = 20; r >= 1; --r) {
    if (g[r][c]) top = r;
  }
  return top;
}

int Aimer::holesIn(const Grid& g, int c) {
  int n = 0;
  for (int r = columnTop(g, c) + 1; r <= 20; ++r) n += g[r][c] ? 0 : 1;
  return n;
}

long Aimer::score(const Grid& g) {
  long holes = 0;
  long height = 0;
  long bumps = 0;
  int lastTop = -1;
  for (int c = 1; c <= 10; ++c) {
    const int top = columnTop(g, c);
    holes += holesIn(g, c);
    height += 21 - top;
    if (lastTop >= 0) bumps += std::abs(top - lastTop);
    lastTop = top;
  }
  return fullRows(g) * 800L - holes * 35 - height * 5 - bumps * 2;
}

Aimer::Target Aimer::choose(const Form1& f) {
  const Grid well = wellOf(f);
  Target best;
  long bestScore = -1'000'000;
  for (int turn = 1; turn <= 4; ++turn) {
    for (int px = -2; px <= 10; ++px) {
      Grid g = well;
      if (!place(f, f.piece, turn, px, g)) continue;
      const long s = score(g);
      if (s > bestScore) {
        bestScore = s;
        best = {turn, px};
      }
    }
  }
  return best;
}

}  // namespace vorlane::test
