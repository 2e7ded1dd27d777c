// SPDX-License-Identifier: MIT
// A window with no design of its own, holding the controls a test makes.
#pragma once

#include <cstdint>

#include "platform/scheduler.h"
#include "platform/window.h"

namespace vorlane::test {

class BareWindow final : public Window {
 public:
  explicit BareWindow(Scheduler& scheduler) : Window(scheduler) {}

 protected:
  void createControls() override {}
  void destroyControls() override {}
  void onLoad() override {}
  void onKeyDown(std::uint16_t /*keyCode*/, int /*shift*/) override {}
};

}  // namespace vorlane::test
