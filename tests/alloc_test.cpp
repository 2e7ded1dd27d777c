// SPDX-License-Identifier: MIT
// The steps that run many times a second touch no heap: a gravity tick, a
// spawn and a lock. This program replaces the global allocation functions
// with counting ones, so it is an executable of its own; under the
// sanitizers the replacements still take precedence over theirs and pass
// every block on to the sanitized malloc and free.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(_WIN32)
#include <malloc.h>
#endif

#include "harness.h"
#include "platform/random.h"
#include "platform/scheduler.h"
#include "window/form1.h"

namespace {

std::atomic<long> allocations{0};

// Over-aligned blocks: Windows has no posix_memalign, and frees them with a
// function of their own.
void* alignedAlloc(std::size_t size, std::size_t alignment) {
#if defined(_WIN32)
  return _aligned_malloc(size, alignment);
#else
  void* p = nullptr;
  return posix_memalign(&p, alignment, size) == 0 ? p : nullptr;
#endif
}

void alignedFree(void* p) {
#if defined(_WIN32)
  _aligned_free(p);
#else
  std::free(p);
#endif
}

// `alignment` is non-zero for the over-aligned forms only.
void* counted(std::size_t size, std::size_t alignment = 0) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (size == 0) size = 1;
  void* p = nullptr;
  if (alignment != 0) {
    p = alignedAlloc(size, alignment);
  } else {
    p = std::malloc(size);
  }
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t size) { return counted(size); }
void* operator new[](std::size_t size) { return counted(size); }
void* operator new(std::size_t size, std::align_val_t a) {
  return counted(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a) {
  return counted(size, static_cast<std::size_t>(a));
}
void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
  try {
    return counted(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
  try {
    return counted(size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t /*size*/) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t /*size*/) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t /*a*/) noexcept { alignedFree(p); }
void operator delete[](void* p, std::align_val_t /*a*/) noexcept { alignedFree(p); }
void operator delete(void* p, std::size_t /*size*/, std::align_val_t /*a*/) noexcept {
  alignedFree(p);
}
void operator delete[](void* p, std::size_t /*size*/, std::align_val_t /*a*/) noexcept {
  alignedFree(p);
}

namespace vorlane {
namespace {

// How many allocations `step` makes.
template <class Step>
long allocationsOf(Step&& step) {
  const long before = allocations.load();
  step();
  return allocations.load() - before;
}

// A game in play: the curtain open and the intro over, so that a scheduler
// step of 50 ms fires one gravity tick and nothing else.
class Allocations : public ::testing::Test {
 protected:
  void SetUp() override { test::startPlaying(scheduler, form); }

  Scheduler scheduler;
  Random random{9.0F};
  Form1 form{scheduler, random, [] { return 9.0F; }};
};

TEST_F(Allocations, TheCountingHookSeesEveryAllocation) {
  // Without this the other tests would pass whatever the game did.
  // Through volatile pointers, so that the compiler cannot elide the pair.
  EXPECT_EQ(allocationsOf([] {
              int* volatile p = new int(1);
              delete p;
            }),
            1);
  EXPECT_EQ(allocationsOf([] {
              char* volatile p = new char[64];
              delete[] p;
            }),
            1);
}

TEST_F(Allocations, AGravityTickMakesNone) {
  for (int n = 0; n < 200; ++n) {
    form.piece = 1 + n % 24;
    form.turn = 1 + n % 4;
    form.px = 3;
    form.py = 2;
    form.speed = 0.1F;
    const std::uint64_t ticks = scheduler.ticksFired();
    EXPECT_EQ(allocationsOf([&] { scheduler.advanceMs(50); }), 0) << "tick " << n;
    ASSERT_EQ(scheduler.ticksFired(), ticks + 1);
    ASSERT_FALSE(form.landed);
  }
}

TEST_F(Allocations, ASpawnMakesNone) {
  for (int n = 0; n < 200; ++n) EXPECT_EQ(allocationsOf([&] { form.change(); }), 0) << n;
}

TEST_F(Allocations, ALockThatRemovesRowsMakesNone) {
  for (int n = 0; n < 20; ++n) {
    test::armFourRowLock(form);
    const unsigned rows = form.rows.value();
    EXPECT_EQ(allocationsOf([&] { scheduler.advanceMs(50); }), 0) << n;
    ASSERT_EQ(form.rows.value(), rows + 4);
  }
}

TEST_F(Allocations, AWholeGameOfTicksAndKeysMakesNone) {
  // Every path of play, the game over included; only the restart, which
  // makes the window's controls afresh, may allocate.
  const std::uint16_t keys[] = {vk::kLeft, vk::kRight, vk::kA, vk::kS, vk::kDown};
  long made = 0;
  for (int n = 0; n < 100'000 && !form.Command1().visible(); ++n) {
    made += allocationsOf([&] {
      if (n % 7 == 0) form.keyDown(keys[(n / 7) % 5], 0);
      scheduler.advanceMs(50);
    });
  }
  EXPECT_TRUE(form.Command1().visible());
  EXPECT_EQ(made, 0);
}

}  // namespace
}  // namespace vorlane
