// SPDX-License-Identifier: MIT
// Checks that hold after every event of a game, whatever the player does:
// used by the fuzzer and the soak tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "window/form1.h"

namespace vorlane::test {

class Invariants {
 public:
  // Returns an empty string when all hold, else what broke. Called after
  // every event, so the common case compares numbers and builds nothing; the
  // message is only put together once something is broken.
  std::string check(const Form1& f);

 private:
  // Every wall cell: the top and bottom rows and the two side columns.
  static constexpr std::size_t kWalls = 2 * 12 + 2 * 20;

  bool holds(const Form1& f);
  // Looks the controls of a fresh load over once and keeps what the cheap
  // check reads; false when one is missing.
  bool adopt(const Form1& f);
  std::string describe(const Form1& f) const;

  unsigned best_ = 0;  // the highest score seen
  // The load whose controls are kept below; they are the window's until it
  // unloads, and every later load counts up. 0: none kept yet.
  std::uint64_t load_ = 0;
  std::array<const Rectangle*, kWalls> walls_{};
  const Label* scoreLabel_ = nullptr;
  const Label* rowsLabel_ = nullptr;
  const Label* blocksLabel_ = nullptr;
  const Label* bestLabel_ = nullptr;
};

}  // namespace vorlane::test
