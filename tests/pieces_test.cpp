// SPDX-License-Identifier: MIT
// The piece catalogue, the rotation rule and the next-piece preview.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "game/colour.h"
#include "harness.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

// Rows 1 to 5 of pieces 1 to 24.
const std::string_view kCatalogue[24][5] = {
    {"00100", "00100", "00100", "00100", "00100"}, {"00000", "00000", "11111", "00000", "00000"},
    {"00000", "01100", "01100", "01000", "00000"}, {"00000", "00110", "00110", "00010", "00000"},
    {"00000", "01000", "01000", "01110", "00000"}, {"00000", "01110", "00010", "00010", "00000"},
    {"00000", "01000", "01100", "00110", "00000"}, {"00000", "01100", "00110", "00010", "00000"},
    {"00000", "00110", "01100", "00100", "00000"}, {"00000", "01100", "00110", "00100", "00000"},
    {"00000", "00100", "00100", "00100", "01100"}, {"00000", "00100", "00100", "00100", "00110"},
    {"00000", "00100", "00100", "01100", "01000"}, {"00000", "00100", "00100", "00110", "00010"},
    {"00000", "00110", "00100", "01100", "00000"}, {"00000", "01100", "00100", "00110", "00000"},
    {"00000", "01110", "00100", "00100", "00000"}, {"00000", "00100", "00100", "01110", "00000"},
    {"00000", "00000", "01010", "01110", "00000"}, {"00000", "01110", "01010", "00000", "00000"},
    {"00000", "00100", "01110", "00100", "00000"}, {"00000", "00100", "01110", "00100", "00000"},
    {"00000", "00100", "00110", "00100", "00100"}, {"00000", "00100", "01100", "00100", "00100"},
};

TEST(Catalogue, HoldsTheTwentyFourPatternsRowByRow) {
  test::Game g;
  for (int p = 1; p <= 24; ++p) {
    for (int r = 1; r <= 5; ++r) EXPECT_EQ(g.form.shapes[p][r], kCatalogue[p - 1][r - 1]) << p;
    EXPECT_TRUE(g.form.shapes[p][0].empty());
  }
  for (int r = 0; r <= 5; ++r) EXPECT_TRUE(g.form.shapes[0][r].empty());
}

TEST(Catalogue, EveryPieceHasFiveBlocksInEveryRotationAndPieceZeroNone) {
  test::Game g;
  for (int p = 0; p <= 24; ++p) {
    for (int turn = 1; turn <= 4; ++turn) {
      const std::string picture = g.boxPicture(p, turn);
      EXPECT_EQ(std::count(picture.begin(), picture.end(), '#'), p == 0 ? 0 : 5)
          << p << "/" << turn;
    }
  }
}

// (turn, box row, box column, pattern row, pattern position)
class Rotate : public ::testing::TestWithParam<std::tuple<int, int, int, int, int>> {};

TEST_P(Rotate, MapsABoxCellToAPatternCell) {
  const auto [turn, i, j, srow, scol] = GetParam();
  test::Game g;
  g.form.turn = turn;
  g.form.i = i;
  g.form.j = j;
  g.form.srow = 4;
  g.form.scol = 2;
  g.form.rotate();
  EXPECT_EQ(g.form.srow, srow);
  EXPECT_EQ(g.form.scol, scol);
}

INSTANTIATE_TEST_SUITE_P(
    Turns, Rotate,
    ::testing::Values(std::tuple{1, 3, 3, 3, 3}, std::tuple{2, 3, 3, 3, 3},
                      std::tuple{3, 3, 3, 3, 3}, std::tuple{4, 3, 3, 3, 3},  // the centre stays
                      std::tuple{1, 1, 4, 1, 4}, std::tuple{2, 1, 1, 5, 1},
                      std::tuple{2, 3, 5, 1, 3},  // top centre shown at the right edge
                      std::tuple{3, 1, 2, 5, 4}, std::tuple{4, 1, 1, 1, 5},
                      std::tuple{4, 2, 5, 5, 4},
                      // A state outside 1 to 4 leaves the last selection.
                      std::tuple{0, 1, 1, 4, 2}, std::tuple{-1, 1, 1, 4, 2},
                      std::tuple{5, 1, 1, 4, 2}));

TEST(Rotate, EachStepTurnsTheShownPieceAQuarterTurnClockwise) {
  test::Game g;
  // Piece 17, a T: stem down, then left, up and right.
  EXPECT_EQ(g.boxPicture(17, 1), "...../.###./..#../..#../.....");
  EXPECT_EQ(g.boxPicture(17, 2), "...../...#./.###./...#./.....");
  EXPECT_EQ(g.boxPicture(17, 3), "...../..#../..#../.###./.....");
  EXPECT_EQ(g.boxPicture(17, 4), "...../.#.../.###./.#.../.....");
}

TEST(Rotate, TurnedPartnersShowTheSameCells) {
  test::Game g;
  EXPECT_EQ(g.boxPicture(1, 2), "...../...../#####/...../.....");
  EXPECT_EQ(g.boxPicture(1, 2), g.boxPicture(2, 1));
  EXPECT_EQ(g.boxPicture(19, 3), g.boxPicture(20, 1));  // U turned twice
  for (int turn = 1; turn <= 4; ++turn) {
    EXPECT_EQ(g.boxPicture(21, turn), g.boxPicture(22, turn));
    EXPECT_EQ(g.boxPicture(21, turn), g.boxPicture(21, 1));
  }
}

TEST(Rotate, TheRoutinesAnswerAsThePureQuery) {
  // Every piece, every state (those outside 1 to 4 too) and every box cell:
  // rotate then boxCellFilled on the record say what filledAt says without it,
  // and rotate leaves the counters it reads.
  test::Game g;
  for (int p = 0; p <= 24; ++p) {
    for (int turn = -1; turn <= 5; ++turn) {
      for (int i = 1; i <= 5; ++i) {
        for (int j = 1; j <= 5; ++j) {
          g.form.piece = p;
          g.form.turn = turn;
          g.form.i = i;
          g.form.j = j;
          g.form.srow = 0;
          g.form.scol = 0;
          g.form.rotate();
          EXPECT_EQ(g.form.boxCellFilled(), g.form.filledAt(p, turn, i, j))
              << p << "/" << turn << " (" << i << ", " << j << ")";
          EXPECT_EQ(g.form.i, i);
          EXPECT_EQ(g.form.j, j);
        }
      }
    }
  }
}

// (piece, pattern row, position): places with no character in the table.
class PatternReadOutsideTheTable : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(PatternReadOutsideTheTable, ReadsAsNoBlock) {
  const auto [piece, srow, scol] = GetParam();
  test::Game g;
  g.form.piece = piece;
  g.form.srow = srow;
  g.form.scol = scol;
  EXPECT_FALSE(g.form.boxCellFilled());
}

INSTANTIATE_TEST_SUITE_P(Places, PatternReadOutsideTheTable,
                         ::testing::Values(std::tuple{1, 0, 3}, std::tuple{1, 3, 0},
                                           std::tuple{1, 6, 3}, std::tuple{1, 3, 6},
                                           std::tuple{1, -1, 3}, std::tuple{-1, 3, 3},
                                           std::tuple{25, 3, 3}, std::tuple{0, 3, 3}));

// --- The preview -----------------------------------------------------------

// Draws whose colour channels run 75, 87, 99, ... 255, so that a block's
// colour tells which draws made it.
std::vector<float> steppedChannels() {
  std::vector<float> draws;
  for (int k = 0; k < 16; ++k) draws.push_back(test::drawForChannel(75 + 12 * k));
  return draws;
}
Colour steppedColour(int firstDraw) {
  const auto channel = [](int k) { return static_cast<unsigned>(75 + 12 * (k % 16)); };
  return rgb(channel(firstDraw), channel(firstDraw + 1), channel(firstDraw + 2));
}

TEST(Preview, ShowsPieceTwoAsElevenToFifteenAcrossTheMiddleOfTheBackdrop) {
  test::ScriptedRandom random(steppedChannels());
  test::Game g(random);
  Form1& f = g.form;
  f.nextpiece = 2;
  f.shownext();
  EXPECT_THAT(g.shownPreview(), ElementsAre(11, 12, 13, 14, 15));
  EXPECT_EQ(random.count, 15U);  // three draws for each shown block, in the order of k
  for (int m = 0; m < 5; ++m) {
    const Rectangle& b = f.Shape3(11 + m);
    EXPECT_EQ(b.left(), 4176.5F + static_cast<float>(m) * 315) << m;
    EXPECT_EQ(b.top(), 1440.0F + 2 * 315);
    EXPECT_EQ(b.width(), 315.0F);
    EXPECT_EQ(b.fillStyle(), 6);
    EXPECT_EQ(b.backColor(), steppedColour(3 * m)) << m;
  }
  // In front of the backdrop, in the order they were drawn.
  const auto& surface = f.surface();
  EXPECT_THAT(
      std::vector<Control*>(surface.end() - 5, surface.end()),
      ElementsAre(&f.Shape3(11), &f.Shape3(12), &f.Shape3(13), &f.Shape3(14), &f.Shape3(15)));
}

TEST(Preview, EveryRedrawRecoloursTheShownBlocksAndHidesTheRest) {
  test::ScriptedRandom random(steppedChannels());
  test::Game g(random);
  Form1& f = g.form;
  f.nextpiece = 2;
  f.shownext();
  f.shownext();  // the same piece again: same places, new colours
  EXPECT_THAT(g.shownPreview(), ElementsAre(11, 12, 13, 14, 15));
  EXPECT_EQ(f.Shape3(11).backColor(), steppedColour(15));
  EXPECT_EQ(f.Shape3(11).left(), 4176.5F);
  f.nextpiece = 1;  // the upright bar shares only the centre with the lying one
  f.shownext();
  EXPECT_THAT(g.shownPreview(), ElementsAre(3, 8, 13, 18, 23));
  // A piece without a pattern leaves every element as it was.
  const std::size_t draws = random.count;
  f.nextpiece = 0;
  f.shownext();
  EXPECT_EQ(random.count, draws);
  EXPECT_THAT(g.shownPreview(), ElementsAre(3, 8, 13, 18, 23));
  EXPECT_EQ(f.i, 5);
  EXPECT_EQ(f.j, 5);
}

class ColourChannel : public ::testing::TestWithParam<std::pair<float, unsigned>> {};

TEST_P(ColourChannel, Is180UPlus75RoundedHalfToEven) {
  EXPECT_EQ(colourChannel(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Rounding, ColourChannel,
                         ::testing::Values(std::pair{0.0F, 75U}, std::pair{0.5F, 165U},
                                           std::pair{0.125F, 98U},   // 97.5 exactly: to even
                                           std::pair{0.375F, 142U},  // 142.5 exactly: to even
                                           std::pair{0.625F, 188U},  // 187.5
                                           std::pair{0.875F, 232U},  // 232.5
                                           std::pair{std::nextafter(0.375F, 1.0F), 143U},
                                           std::pair{std::nextafter(0.375F, 0.0F), 142U},
                                           std::pair{std::nextafter(1.0F, 0.0F), 255U}));

TEST(RandomColour, TakesRedGreenBlueFromThreeSuccessiveDraws) {
  test::ScriptedRandom draws({0.0F, 0.5F, std::nextafter(1.0F, 0.0F)});
  EXPECT_EQ(randomColour(draws), rgb(75, 165, 255));
  EXPECT_EQ(draws.count, 3U);
}

}  // namespace
}  // namespace vorlane
