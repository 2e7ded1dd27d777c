// SPDX-License-Identifier: MIT
// The record of game state that every routine of the window works on. It
// belongs to the window object and outlives its controls across a restart.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vorlane {

// A counter held as a fixed-width text of decimal digits. It may have no
// value yet, which reads as 0 and as the empty text and sorts below every
// value. Setting it keeps the value modulo 10^Width, as the texts wrap.
template <int Width>
class DigitText {
 public:
  static constexpr unsigned kModulus = [] {
    unsigned m = 1;
    for (int k = 0; k < Width; ++k) m *= 10;
    return m;
  }();

  DigitText() = default;

  void set(unsigned v) {
    value_ = v % kModulus;
    hasValue_ = true;
    for (int k = Width - 1, x = static_cast<int>(value_); k >= 0; --k, x /= 10) {
      digits_[static_cast<std::size_t>(k)] = static_cast<char>('0' + x % 10);
    }
  }
  void clear() { *this = DigitText(); }

  bool hasValue() const { return hasValue_; }
  unsigned value() const { return value_; }
  std::string_view text() const {
    return hasValue_ ? std::string_view(digits_.data(), Width) : std::string_view();
  }

  // Texts of equal width order as their numbers; no value sorts first.
  friend bool operator>(const DigitText& a, const DigitText& b) {
    return a.hasValue_ && (!b.hasValue_ || a.value_ > b.value_);
  }
  friend bool operator==(const DigitText& a, std::string_view t) { return a.text() == t; }

 private:
  unsigned value_ = 0;
  bool hasValue_ = false;
  std::array<char, Width> digits_{};
};

struct GameState {
  // Piece patterns: rows 1 to 5 of pieces 1 to 24 hold five characters of
  // '0' and '1'; row 0 and piece 0 stay empty.
  std::array<std::array<std::string_view, 6>, 25> shapes{};
  // Character `position` (from 1) of pattern row `row` of piece `number`, or '\0'
  // where the table has none. Asked 25 times a tick: each range is one
  // unsigned compare, in which a negative number wraps past every bound.
  char patternChar(int number, int row, int position) const {
    if (static_cast<unsigned>(number) > 24U || static_cast<unsigned>(row) > 5U) return '\0';
    const std::string_view text =
        shapes[static_cast<std::size_t>(number)][static_cast<std::size_t>(row)];
    const std::size_t at = static_cast<std::size_t>(position) - 1;
    return at < text.size() ? text[at] : '\0';
  }

  int srow = 0;  // pattern row and position that rotate() selected
  int scol = 0;
  int i = 0;  // the two loop counters every routine shares
  int j = 0;
  int nextpiece = 0;  // the previewed piece, 1 to 24 once drawn
  int piece = 0;      // the falling piece; 0 to 8 during the intro
  float cell = 0;     // edge of one cell in twips, a whole number
  int hold = 0;       // scratch value handed between routines (form1.h)
  int turn = 0;       // rotation state, 1 to 4 in play
  int px = 0;         // column offset of the piece's box
  float py = 0;       // row offset of the box, fractional while falling
  float speed = 0;    // rows per gravity step
  bool landed = false;
  std::int16_t blocked = 0;  // 0 or -1
  DigitText<6> hiscore;
  DigitText<6> score;
  DigitText<3> rows;
  DigitText<4> blocks;
};

}  // namespace vorlane
