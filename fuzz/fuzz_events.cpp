// Feeds the headless window any sequence of events and checks after each one
// that the game is still whole.
//
// Each event is one byte, some followed by an argument:
//   0-2   a tick of Timer1, Timer2 or Timer3 out of turn (only while it is armed)
//   3     the scheduler runs up to (next byte) x 4 ms ahead, ticks in time order
//   4     a key with any 16-bit code (next two bytes)
//   5-10  Left, Right, A, S, Down, P
//   11    a click on Pause, shown or not
//   12    a click on Game Over, shown or not: a restart
//   13-15 a draw of the random source is skipped, shifting every later draw
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "invariants.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace {

using vorlane::Form1;

constexpr std::uint16_t kCommands[] = {vorlane::vk::kLeft, vorlane::vk::kRight, vorlane::vk::kA,
                                       vorlane::vk::kS,    vorlane::vk::kDown,  vorlane::vk::kP};

void tickIfArmed(Form1& f, int which) {
  vorlane::Timer& t = which == 0 ? f.Timer1() : which == 1 ? f.Timer2() : f.Timer3();
  if (!t.armed()) return;
  if (which == 0) f.Timer1_Timer();
  if (which == 1) f.Timer2_Timer();
  if (which == 2) f.Timer3_Timer();
}

// libFuzzer counts inputs, whose lengths vary a thousandfold; events are the
// fair measure of speed, so the total is printed when the run ends.
struct EventCount {
  std::uint64_t events = 0;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  ~EventCount() {
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (events == 0 || took.count() <= 0) return;
    std::fprintf(stderr, "fuzz_events: %llu events in %.1f s, %.0f events/s\n",
                 static_cast<unsigned long long>(events), took.count(),
                 static_cast<double>(events) / took.count());
  }
};

EventCount eventCount;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorlane::Scheduler scheduler;
  vorlane::Random random;
  Form1 form(scheduler, random, [] { return 1234.5F; });
  form.show();
  vorlane::test::Invariants invariants;

  std::size_t pos = 0;
  auto byte = [&]() -> unsigned { return pos < size ? data[pos++] : 0U; };
  while (pos < size) {
    const unsigned op = byte() % 16;
    if (op <= 2) {
      tickIfArmed(form, static_cast<int>(op));
    } else if (op == 3) {
      scheduler.advanceMs(static_cast<std::int64_t>(byte()) * 4);
    } else if (op == 4) {
      const unsigned hi = byte();
      const unsigned lo = byte();
      form.keyDown(static_cast<std::uint16_t>(hi << 8U | lo), 0);
    } else if (op <= 10) {
      form.keyDown(kCommands[op - 5], 0);
    } else if (op == 11) {
      form.Pause().click();
    } else if (op == 12) {
      form.Command1().click();
    } else {
      random.next();
    }
    ++eventCount.events;
    const std::string broken = invariants.check(form);
    if (!broken.empty()) {
      std::fprintf(stderr, "invariant broken after event at byte %zu: %s\n", pos, broken.c_str());
      std::abort();
    }
  }
  return 0;
}
