// Checks that hold after every event of a game, whatever the player does:
// used by the fuzzer and the soak tests.
#pragma once

#include <string>

#include "window/form1.h"

namespace vorlane::test {

class Invariants {
 public:
  // Returns an empty string when all hold, else what broke.
  std::string check(const Form1& f);

 private:
  unsigned best_ = 0;  // the highest score seen
};

}  // namespace vorlane::test
