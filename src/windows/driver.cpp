// SPDX-License-Identifier: MIT
#include "windows/driver.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "windows/view.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace vorlane::windows {

namespace {
// The one driver of the thread, for the window timer's callback.
Driver* current = nullptr;
}  // namespace

Driver::Driver(Scheduler& scheduler) : RealTimeDriver(scheduler) {
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&origin_);
  timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                  TIMER_ALL_ACCESS);
  if (timer_ == nullptr) {
    // Before Windows 10 1803: a window timer, in whole milliseconds and at
    // the system's timer resolution. It must be there to be used.
    const UINT_PTR probe = SetTimer(nullptr, 0, USER_TIMER_MAXIMUM, nullptr);
    if (probe == 0) throw std::runtime_error("no timer could be set");
    KillTimer(nullptr, probe);
  }
  current = this;
  core_.start();
}

Driver::~Driver() {
  if (timer_ != nullptr) CloseHandle(timer_);
  if (windowTimer_ != 0) KillTimer(nullptr, windowTimer_);
  if (current == this) current = nullptr;
}

Scheduler::Micros Driver::now() const {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  const long long ticks = t.QuadPart - origin_.QuadPart;
  const long long f = frequency_.QuadPart;
  return start_ + (ticks / f) * 1'000'000 + (ticks % f) * 1'000'000 / f;
}

void Driver::arm(Scheduler::Micros due, Scheduler::Micros /*t*/) {
  armed_ = true;
  // From the clock read afresh, as handlers may have run since `t`.
  const Scheduler::Micros wait = std::max<Scheduler::Micros>(due - now(), 0);
  if (timer_ != nullptr) {
    // A relative time in 100 ns units, rounded up: never before the tick.
    LARGE_INTEGER when;
    when.QuadPart = -std::max<long long>(wait * 10, 1);
    SetWaitableTimer(timer_, &when, 0, nullptr, nullptr, FALSE);
    return;
  }
  const Scheduler::Micros ms = std::min<Scheduler::Micros>((wait + 999) / 1000, USER_TIMER_MAXIMUM);
  windowTimer_ = SetTimer(nullptr, windowTimer_,
                          static_cast<UINT>(std::max<Scheduler::Micros>(ms, 1)), timerProc);
}

void Driver::disarm() {
  armed_ = false;
  if (timer_ != nullptr) {
    CancelWaitableTimer(timer_);
  } else if (windowTimer_ != 0) {
    KillTimer(nullptr, windowTimer_);
    windowTimer_ = 0;
  }
}

void Driver::wake() {
  // A timer cancelled after it had fired still comes once: not a wake-up.
  if (!armed_) return;
  armed_ = false;
  core_.wake();
}

void CALLBACK Driver::timerProc(HWND /*hwnd*/, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
  if (current == nullptr) return;
  // A window timer repeats: it is set again by the next arm, if any.
  KillTimer(nullptr, id);
  current->windowTimer_ = 0;
  current->wake();
}

int Driver::run(View& view) {
  MSG msg;
  for (;;) {
    const DWORD handles = timer_ != nullptr ? 1 : 0;
    const DWORD r =
        MsgWaitForMultipleObjectsEx(handles, &timer_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    ++wakeups_;
    if (handles == 1 && r == WAIT_OBJECT_0) {
      wake();
      view.flush();
      continue;
    }
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != 0) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      if (view.takeKey(msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    view.flush();
  }
}

}  // namespace vorlane::windows
