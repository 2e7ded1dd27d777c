// SPDX-License-Identifier: MIT
// Runs the scheduler on real time with Windows' own means: a high-resolution
// waitable timer that the message loop waits on beside the messages, or a
// window timer where the system has none (before Windows 10 1803). Nothing
// wakes while no timer is armed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/driver_core.h"
#include "platform/scheduler.h"

namespace vorlane::windows {

class View;

class Driver final : public RealTimeDriver {
 public:
  // Throws std::runtime_error when the system lends no timer.
  explicit Driver(Scheduler& scheduler);
  ~Driver() override;

  // The scheduler's time now: where it stood when the driver started, plus
  // the performance counter's time since.
  Scheduler::Micros now() const override;

  // Whether the waitable timer serves, rather than the window timer.
  bool highResolution() const { return timer_ != nullptr; }

  // How many times the message loop woke, for the timer or for messages.
  std::uint64_t wakeups() const { return wakeups_; }

  // The message loop, until the window is closed: the wake-ups, the
  // messages, and `view` drawn after each. Returns the exit status.
  int run(View& view);

 private:
  // WakeupSource.
  void arm(Scheduler::Micros due, Scheduler::Micros t) override;
  void disarm() override;

  void wake();
  static void CALLBACK timerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

  LARGE_INTEGER origin_{};
  LARGE_INTEGER frequency_{};
  HANDLE timer_ = nullptr;    // the high-resolution waitable timer
  UINT_PTR windowTimer_ = 0;  // the fallback's SetTimer id, while set
  bool armed_ = false;
  std::uint64_t wakeups_ = 0;
};

}  // namespace vorlane::windows
