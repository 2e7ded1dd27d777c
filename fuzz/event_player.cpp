// SPDX-License-Identifier: MIT
#include "event_player.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vorlane::fuzz {

namespace {

constexpr std::uint16_t kCommands[] = {vk::kLeft, vk::kRight, vk::kA, vk::kS, vk::kDown, vk::kP};

void tickIfArmed(Form1& f, int which) {
  Timer& t = which == 0 ? f.Timer1() : which == 1 ? f.Timer2() : f.Timer3();
  if (!t.armed()) return;
  if (which == 0) f.Timer1_Timer();
  if (which == 1) f.Timer2_Timer();
  if (which == 2) f.Timer3_Timer();
}

}  // namespace

EventPlayer::EventPlayer() : form_(scheduler_, random_, [] { return 1234.5F; }) { form_.show(); }

void EventPlayer::check() {
  ++steps_;
  if (form_.loads() == load_ && form_.rows.value() != rows_) {
    rowsRemoved_ += (form_.rows.value() + decltype(form_.rows)::kModulus - rows_) %
                    decltype(form_.rows)::kModulus;
  }
  load_ = form_.loads();
  rows_ = form_.rows.value();
  const std::string broken = invariants_.check(form_);
  if (!broken.empty()) {
    std::fprintf(stderr, "invariant broken by the event at byte %zu: %s\n", at_, broken.c_str());
    std::abort();
  }
}

void EventPlayer::key(std::uint16_t code) {
  form_.keyDown(code, 0);
  check();
}

void EventPlayer::advanceMs(std::int64_t ms) {
  scheduler_.advanceMs(ms);
  check();
}

void EventPlayer::place(unsigned argument) {
  Form1& f = form_;
  const int turn = static_cast<int>(argument % 4) + 1;
  const int px = static_cast<int>(argument / 4 % 13) - 2;
  // Through the intro first; a paused or ended game is left as it is.
  for (int n = 0; n < 100 && !f.Timer1().armed() && f.Timer2().armed(); ++n) advanceMs(16);
  const auto playing = [&f, blocks = f.blocks.value()] {
    return f.Timer1().armed() && f.blocks.value() == blocks;
  };
  // Turn, then shift; a refused key (the piece is still above the well, or
  // something is in the way) is tried again a tick later.
  for (int n = 0; n < 200 && playing() && (f.turn != turn || f.px != px); ++n) {
    const int before = f.turn * 100 + f.px;
    key(f.turn != turn ? vk::kA : f.px < px ? vk::kRight : vk::kLeft);
    if (f.turn * 100 + f.px == before) advanceMs(50);
  }
  if (!playing()) return;
  key(vk::kDown);
  for (int n = 0; n < 100 && playing(); ++n) advanceMs(50);
}

std::size_t EventPlayer::play(const std::uint8_t* data, std::size_t size, std::size_t pos) {
  at_ = pos;
  const auto byte = [&]() -> unsigned { return pos < size ? data[pos++] : 0U; };
  Form1& f = form_;
  const unsigned op = byte() % 16;
  if (op <= kTimer3) {
    tickIfArmed(f, static_cast<int>(op));
  } else if (op == kAdvance) {
    scheduler_.advanceMs(static_cast<std::int64_t>(byte()) * 4);
  } else if (op == kAnyKey) {
    const unsigned hi = byte();
    const unsigned lo = byte();
    f.keyDown(static_cast<std::uint16_t>(hi << 8U | lo), 0);
  } else if (op <= kP) {
    f.keyDown(kCommands[op - kLeft], 0);
  } else if (op == kPauseClick) {
    f.Pause().click();
  } else if (op == kGameOverClick) {
    if (byte() == 0 || f.Command1().visible()) f.Command1().click();
  } else if (op == kPlace) {
    place(byte());
    return pos;  // every step of it is checked
  } else {
    random_.next();
  }
  check();
  return pos;
}

}  // namespace vorlane::fuzz
