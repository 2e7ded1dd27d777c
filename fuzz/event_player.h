// SPDX-License-Identifier: MIT
// The fuzzer's language: a byte stream played as events on a headless
// window, with the game checked after every step. Shared by the fuzz target
// and the program that writes its seeds, so a seed means what it was
// written to mean.
//
// Each event is one byte (taken modulo 16), some followed by arguments:
//   0-2   a tick of Timer1, Timer2 or Timer3 out of turn (only while it is armed)
//   3     the scheduler runs up to (next byte) x 4 ms ahead, ticks in time order
//   4     a key with any 16-bit code (next two bytes)
//   5-10  Left, Right, A, S, Down, P
//   11    a click on Pause, shown or not
//   12    a click on Game Over (next byte): a restart when it is shown, and
//         also when hidden if the byte is 0 (no player can; kept rare so that
//         games run long enough to fill rows)
//   13    a placed piece (next byte b): once play runs, the falling piece is
//         turned to state b % 4 + 1 and moved to column offset (b / 4) % 13 - 2
//         with the keys, as a player would, then dropped with Down until it
//         locks. Random bytes then stack whole pieces, which fills rows.
//   14-15 a draw of the random source is skipped, shifting every later draw
#pragma once

#include <cstddef>
#include <cstdint>

#include "invariants.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace vorlane::fuzz {

enum Op : std::uint8_t {
  kTimer1 = 0,
  kTimer2 = 1,
  kTimer3 = 2,
  kAdvance = 3,
  kAnyKey = 4,
  kLeft = 5,
  kRight = 6,
  kA = 7,
  kS = 8,
  kDown = 9,
  kP = 10,
  kPauseClick = 11,
  kGameOverClick = 12,
  kPlace = 13,
  kSkipDraw = 14,
};

// The argument of kPlace that aims for a rotation state and column offset.
constexpr std::uint8_t placeArgument(int turn, int px) {
  return static_cast<std::uint8_t>((px + 2) * 4 + turn - 1);
}

class EventPlayer {
 public:
  EventPlayer();
  EventPlayer(const EventPlayer&) = delete;
  EventPlayer& operator=(const EventPlayer&) = delete;

  // Plays the event at data[pos] and returns the position after it. Aborts
  // with a message on stderr when the game is broken after any step.
  std::size_t play(const std::uint8_t* data, std::size_t size, std::size_t pos);

  const Form1& form() const { return form_; }
  // The draws to come, without taking them.
  const Random& random() const { return random_; }
  // Steps checked so far: every event, and every key and tick of a placed piece.
  std::uint64_t steps() const { return steps_; }
  // Rows removed so far, over every game of the input.
  std::uint64_t rowsRemoved() const { return rowsRemoved_; }

 private:
  void check();
  void key(std::uint16_t code);
  void advanceMs(std::int64_t ms);
  void place(unsigned argument);

  Scheduler scheduler_;
  Random random_;
  Form1 form_;
  test::Invariants invariants_;
  std::uint64_t steps_ = 0;
  std::uint64_t rowsRemoved_ = 0;
  std::uint64_t load_ = 0;  // the load and rows counter at the last check
  unsigned rows_ = 0;
  std::size_t at_ = 0;  // where the event being played starts, for the report
};

}  // namespace vorlane::fuzz
