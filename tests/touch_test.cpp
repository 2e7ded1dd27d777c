// SPDX-License-Identifier: MIT
// Fingers on the well as keys: drags shift by whole cells and back, taps
// turn by the half they land on, a drag down drops once, and what is not a
// gesture raises nothing.
#include "platform/touch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/keys.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uint16_t L = vk::kLeft, R = vk::kRight, D = vk::kDown, A = vk::kA, S = vk::kS;
constexpr Twips kCell = 292;
// The design's well: 12 cells by 22 from (60, 50).
constexpr RectF kWell{60, 50, 12 * kCell, 22 * kCell};
constexpr Twips kMidX = 60 + 6 * kCell;
constexpr Twips kMidY = 50 + 11 * kCell;

class Touch : public ::testing::Test {
 protected:
  Touch() { fingers.setGeometry({kWell, kCell, 150}); }
  std::vector<std::uint16_t> keys;
  TouchGestures fingers{[this](std::uint16_t k) { keys.push_back(k); }};
};

TEST_F(Touch, DragShiftsOneColumnPerWholeCellAndBack) {
  fingers.start(1, kMidX, kMidY, 0);
  fingers.move(1, kMidX + 1.5F * kCell, kMidY, 50);
  EXPECT_THAT(keys, ElementsAre(R));
  fingers.move(1, kMidX + 3.5F * kCell, kMidY + 10, 100);
  EXPECT_THAT(keys, ElementsAre(R, R, R));
  fingers.move(1, kMidX + 1.2F * kCell, kMidY, 150);  // back two cells
  fingers.move(1, kMidX - 2.1F * kCell, kMidY, 200);  // and past the start
  fingers.end(1, kMidX - 2.1F * kCell, kMidY, 250);
  EXPECT_THAT(keys, ElementsAre(R, R, R, L, L, L, L, L));
}

TEST_F(Touch, FirstMoveFarAwayRaisesEveryColumnAtOnce) {
  // A browser holds back the first few pixels of a drag: a late first move
  // or only an end still counts the whole travel.
  fingers.start(1, kMidX, kMidY, 0);
  fingers.end(1, kMidX - 3.5F * kCell, kMidY, 400);
  EXPECT_THAT(keys, ElementsAre(L, L, L));
}

TEST_F(Touch, TapTurnsByTheHalfOfTheWellItLandsOn) {
  fingers.start(1, kMidX + 10, kMidY, 0);
  fingers.move(1, kMidX + 40, kMidY + 60, 80);  // a wobble under the slop
  fingers.end(1, kMidX + 20, kMidY, 120);
  fingers.start(2, kMidX - 10, kMidY, 500);
  fingers.end(2, kMidX - 10, kMidY, 600);
  EXPECT_THAT(keys, ElementsAre(A, S));
}

TEST_F(Touch, NotATap) {
  fingers.start(1, kMidX + 10, kMidY, 0);
  fingers.end(1, kMidX + 10, kMidY, TouchGestures::kTapMs);  // held too long
  fingers.start(2, kMidX + 10, kMidY, 1000);
  fingers.move(2, kMidX + 200, kMidY, 1050);  // past the slop, short of a cell
  fingers.end(2, kMidX + 10, kMidY, 1100);    // and back: still no tap
  fingers.start(3, kMidX + 10, kMidY, 2000);
  fingers.cancel(3);
  fingers.end(3, kMidX + 10, kMidY, 2050);
  EXPECT_THAT(keys, IsEmpty());
}

TEST_F(Touch, SlopFollowsTheScale) {
  fingers.setGeometry({kWell, kCell, 300});  // the window at half size
  fingers.start(1, kMidX + 10, kMidY, 0);
  fingers.end(1, kMidX + 200, kMidY, 100);
  EXPECT_THAT(keys, ElementsAre(A));
}

TEST_F(Touch, DragDownDropsOnceThenSidewaysIsIgnored) {
  fingers.start(1, kMidX, kMidY - 5 * kCell, 0);
  fingers.move(1, kMidX + 0.5F * kCell, kMidY - 4.2F * kCell, 50);  // under a cell
  EXPECT_THAT(keys, IsEmpty());
  fingers.move(1, kMidX + 0.5F * kCell, kMidY - 3.5F * kCell, 100);
  fingers.move(1, kMidX, kMidY + 5 * kCell, 150);
  fingers.move(1, kMidX + 4 * kCell, kMidY + 5 * kCell, 200);
  fingers.end(1, kMidX - 4 * kCell, kMidY + 5 * kCell, 250);
  EXPECT_THAT(keys, ElementsAre(D));
}

TEST_F(Touch, SidewaysThatSagsDoesNotDrop) {
  fingers.start(1, kMidX - 3 * kCell, kMidY, 0);
  fingers.end(1, kMidX + 2.5F * kCell, kMidY + 1.5F * kCell, 300);
  EXPECT_THAT(keys, ElementsAre(R, R, R, R, R));
}

TEST_F(Touch, ADragAsFarDownAsSidewaysShiftsAndNeverDrops) {
  fingers.start(1, kMidX, kMidY - 5 * kCell, 0);
  fingers.move(1, kMidX - 1.3F * kCell, kMidY - 3.65F * kCell, 50);
  fingers.move(1, kMidX - 3.5F * kCell, kMidY - 1.4F * kCell, 100);
  fingers.end(1, kMidX - 3.5F * kCell, kMidY + 2 * kCell, 150);  // then straight down
  EXPECT_THAT(keys, ElementsAre(L, L, L));
}

TEST_F(Touch, UpwardsSecondFingersAndOutsideDoNothing) {
  fingers.start(1, kMidX, kMidY, 0);
  fingers.move(1, kMidX, kMidY - 5 * kCell, 50);
  fingers.start(2, kMidX + 3 * kCell, kMidY, 60);  // a second finger, ignored
  fingers.move(2, kMidX + 6 * kCell, kMidY, 70);
  fingers.end(2, kMidX + 6 * kCell, kMidY, 80);
  fingers.end(1, kMidX, kMidY - 5 * kCell, 400);
  EXPECT_FALSE(fingers.following());
  fingers.start(3, kWell.right() + 10, kMidY, 500);  // beside the well
  fingers.end(3, kWell.right() + 10, kMidY, 550);
  EXPECT_THAT(keys, IsEmpty());
  // Once the first finger lifted, the next one is followed.
  fingers.start(4, kMidX - 100, kMidY, 600);
  fingers.end(4, kMidX - 100, kMidY, 650);
  EXPECT_THAT(keys, ElementsAre(S));
}

TEST_F(Touch, NothingBeforeTheWellIsKnown) {
  TouchGestures blind{[this](std::uint16_t k) { keys.push_back(k); }};
  blind.start(1, kMidX, kMidY, 0);
  blind.end(1, kMidX + 5 * kCell, kMidY, 50);
  EXPECT_THAT(keys, IsEmpty());
}

}  // namespace
}  // namespace vorlane
