// SPDX-License-Identifier: MIT
#include "invariants.h"

#include <algorithm>
#include <string_view>

namespace vorlane::test {

namespace {

bool digits(std::string_view text, std::size_t width) {
  if (text.size() != width) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool isWall(int n) {
  const int row = (n - 1) / 12;
  const int column = (n - 1) % 12;
  return row == 0 || row == 21 || column == 0 || column == 11;
}

// Whether a label reads prefix then digits, compared in place.
bool shows(const Label& label, std::string_view prefix, std::string_view digitText) {
  const std::string_view caption = label.caption();
  return caption.size() == prefix.size() + digitText.size() && caption.starts_with(prefix) &&
         caption.ends_with(digitText);
}

std::string_view bestText(const Form1& f) {
  return f.hiscore.value() == 0 ? std::string_view("000000") : f.hiscore.text();
}

}  // namespace

std::string Invariants::check(const Form1& f) {
  if (holds(f)) return {};
  std::string broken = describe(f);
  // The two must agree; should they ever not, the failure still shows.
  return broken.empty() ? "an invariant is broken that the description misses" : broken;
}

bool Invariants::adopt(const Form1& f) {
  load_ = 0;
  for (int n = 0; n <= 25; ++n) {
    if (!f.Shape1().exists(n) || !f.Shape3().exists(n)) return false;
  }
  std::size_t w = 0;
  for (int n = 0; n <= 264; ++n) {
    if (!f.Shape2().exists(n)) return false;
    if (n > 0 && isWall(n)) walls_[w++] = &f.Shape2(n);
  }
  scoreLabel_ = &f.scorelabel();
  rowsLabel_ = &f.rowslabel();
  blocksLabel_ = &f.piecelabel();
  bestLabel_ = &f.hscorelabel();
  load_ = f.loads();
  return true;
}

bool Invariants::holds(const Form1& f) {
  if (!f.loaded()) return false;
  if (f.loads() != load_ && !adopt(f)) return false;
  // Nothing the game does hides a wall; reading 64 flags is cheaper than
  // working out whether anything could have.
  for (const Rectangle* wall : walls_) {
    if (!wall->visible()) return false;
  }
  best_ = std::max(best_, f.score.value());
  return digits(f.score.text(), 6) && digits(f.rows.text(), 3) && digits(f.blocks.text(), 4) &&
         f.score.value() % 10 == 0 && shows(*scoreLabel_, "Score:", f.score.text()) &&
         shows(*rowsLabel_, "Rows:", f.rows.text()) &&
         shows(*blocksLabel_, "Blocks:", f.blocks.text()) &&
         shows(*bestLabel_, "HiScore:", bestText(f)) && f.hiscore.value() >= best_ &&
         f.piece >= 0 && f.piece <= 24 && f.nextpiece >= 0 && f.nextpiece <= 24;
}

std::string Invariants::describe(const Form1& f) const {
  if (!f.loaded()) return "the window is not loaded";
  for (int n = 0; n <= 25; ++n) {
    if (!f.Shape1().exists(n)) return "Shape1(" + std::to_string(n) + ") is missing";
    if (!f.Shape3().exists(n)) return "Shape3(" + std::to_string(n) + ") is missing";
  }
  for (int n = 0; n <= 264; ++n) {
    if (!f.Shape2().exists(n)) return "Shape2(" + std::to_string(n) + ") is missing";
    if (n > 0 && isWall(n) && !f.Shape2(n).visible()) {
      return "wall cell " + std::to_string(n) + " is hidden";
    }
  }
  if (!digits(f.score.text(), 6)) return "score is not six digits";
  if (!digits(f.rows.text(), 3)) return "rows is not three digits";
  if (!digits(f.blocks.text(), 4)) return "blocks is not four digits";
  if (f.score.value() % 10 != 0) return "score is not a multiple of 10";
  if (!shows(f.scorelabel(), "Score:", f.score.text())) {
    return "score label shows " + f.scorelabel().caption();
  }
  if (!shows(f.rowslabel(), "Rows:", f.rows.text())) {
    return "rows label shows " + f.rowslabel().caption();
  }
  if (!shows(f.piecelabel(), "Blocks:", f.blocks.text())) {
    return "blocks label shows " + f.piecelabel().caption();
  }
  if (!shows(f.hscorelabel(), "HiScore:", bestText(f))) {
    return "best-score label shows " + f.hscorelabel().caption();
  }
  // The best score is at least every score reached in this run: the score
  // only climbs within a game, and when it wraps at a million the best keeps
  // the higher text.
  if (f.hiscore.value() < best_) return "best score is below a score reached";
  if (f.piece < 0 || f.piece > 24) return "piece " + std::to_string(f.piece) + " out of range";
  if (f.nextpiece < 0 || f.nextpiece > 24) return "next piece out of range";
  return {};
}

}  // namespace vorlane::test
