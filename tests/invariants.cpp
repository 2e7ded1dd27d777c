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

}  // namespace

std::string Invariants::check(const Form1& f) {
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
  if (f.scorelabel().caption() != "Score:" + std::string(f.score.text())) {
    return "score label shows " + f.scorelabel().caption();
  }
  if (f.rowslabel().caption() != "Rows:" + std::string(f.rows.text())) {
    return "rows label shows " + f.rowslabel().caption();
  }
  if (f.piecelabel().caption() != "Blocks:" + std::string(f.blocks.text())) {
    return "blocks label shows " + f.piecelabel().caption();
  }
  const std::string best = f.hiscore.value() == 0 ? "000000" : std::string(f.hiscore.text());
  if (f.hscorelabel().caption() != "HiScore:" + best) {
    return "best-score label shows " + f.hscorelabel().caption();
  }
  // The best score is at least every score reached in this run: the score
  // only climbs within a game, and when it wraps at a million the best keeps
  // the higher text.
  best_ = std::max(best_, f.score.value());
  if (f.hiscore.value() < best_) return "best score is below a score reached";
  if (f.piece < 0 || f.piece > 24) return "piece " + std::to_string(f.piece) + " out of range";
  if (f.nextpiece < 0 || f.nextpiece > 24) return "next piece out of range";
  return {};
}

}  // namespace vorlane::test
