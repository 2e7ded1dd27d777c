// SPDX-License-Identifier: MIT
// Qt keys to virtual-key codes, without a window.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "desktop/key_events.h"

namespace vorlane::desktop {
namespace {

TEST(Keys, NamedKeysMapToTheirVirtualKeyCodes) {
  const std::pair<int, int> table[] = {
      {Qt::Key_Left, 37},    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},    {Qt::Key_Down, 40},
      {Qt::Key_Space, 32},   {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27},
      {Qt::Key_Tab, 9},      {Qt::Key_Backtab, 9},   {Qt::Key_Backspace, 8}, {Qt::Key_Shift, 16},
      {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},      {Qt::Key_Home, 36},     {Qt::Key_End, 35},
      {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34}, {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},
  };
  for (const auto& [key, code] : table) {
    ASSERT_TRUE(virtualKey(key).has_value()) << key;
    EXPECT_EQ(*virtualKey(key), code) << key;
  }
}

TEST(Keys, LettersDigitsAndFunctionKeys) {
  for (int n = 0; n < 26; ++n) EXPECT_EQ(virtualKey(Qt::Key_A + n), 65 + n);
  for (int n = 0; n < 10; ++n) EXPECT_EQ(virtualKey(Qt::Key_0 + n), 48 + n);
  for (int n = 0; n < 12; ++n) EXPECT_EQ(virtualKey(Qt::Key_F1 + n), 112 + n);
  EXPECT_EQ(virtualKey(Qt::Key_A), 65);  // the game's turn key
  EXPECT_EQ(virtualKey(Qt::Key_P), 80);
  EXPECT_EQ(virtualKey(Qt::Key_S), 83);
}

TEST(Keys, OtherKeysAreNotDelivered) {
  for (const int key :
       std::initializer_list<int>{Qt::Key_F13, Qt::Key_CapsLock, Qt::Key_Meta, Qt::Key_Exclam,
                                  Qt::Key_Agrave, Qt::Key_VolumeUp, Qt::Key_unknown, 0}) {
    EXPECT_FALSE(virtualKey(key).has_value()) << key;
  }
}

// xkb keycodes (X11 and Wayland) of the US keyboard's Q, A, S, P, M and
// of the digit 1, which has no letter.
constexpr std::uint32_t kScanQ = 24, kScanA = 38, kScanS = 39, kScanP = 33, kScanM = 58,
                        kScan1 = 10;

TEST(Keys, NonLatinLettersMapByThePlaceOfTheirKey) {
  // Russian: the keys of A, S, P, M carry ф, ы, з, ь (Qt reports capitals);
  // Greek: α, σ, π, μ.
  const std::pair<int, std::uint32_t> russian[] = {
      {0x0424, kScanA}, {0x042B, kScanS}, {0x0417, kScanP}, {0x042C, kScanM}};
  const std::pair<int, std::uint32_t> greek[] = {
      {0x0391, kScanA}, {0x03A3, kScanS}, {0x03A0, kScanP}, {0x039C, kScanM}};
  const int expected[] = {'A', 'S', 'P', 'M'};
  for (int n = 0; n < 4; ++n) {
    EXPECT_EQ(virtualKey(russian[n].first, russian[n].second), expected[n]) << n;
    EXPECT_EQ(virtualKey(greek[n].first, greek[n].second), expected[n]) << n;
  }
  // The three letter rows end to end.
  EXPECT_EQ(virtualKey(0x0419, kScanQ), 'Q');      // Й
  EXPECT_EQ(virtualKey(0x0417, kScanQ + 9), 'P');  // З, the row's last
  EXPECT_EQ(virtualKey(0x0414, kScanA + 8), 'L');  // Д
  EXPECT_EQ(virtualKey(0x042F, kScanM - 6), 'Z');  // Я
}

TEST(Keys, LatinLettersKeepTheirLetterWhereverTheKeyIs) {
  // AZERTY: A where a US keyboard has Q, and the other way round.
  EXPECT_EQ(virtualKey(Qt::Key_A, kScanQ), 'A');
  EXPECT_EQ(virtualKey(Qt::Key_Q, kScanA), 'Q');
  // A Latin letter outside A to Z is still no key of the game.
  EXPECT_FALSE(virtualKey(Qt::Key_Agrave, kScanA).has_value());
}

TEST(Keys, NonLatinKeysWithoutALetterPlaceAreNotDelivered) {
  EXPECT_FALSE(virtualKey(0x0424, 0).has_value());       // place unknown
  EXPECT_FALSE(virtualKey(0x0424, kScan1).has_value());  // a digit's place
  EXPECT_FALSE(virtualKey(0x0424, 7).has_value());       // below the xkb range
  EXPECT_FALSE(virtualKey(0x0424, kScanM + 1).has_value());
  // Not letters: punctuation (Greek's Q key gives ";") and a digit of
  // another script keep to their key codes.
  EXPECT_FALSE(virtualKey(Qt::Key_Semicolon, kScanQ).has_value());
  EXPECT_FALSE(virtualKey(0x0661, kScanA).has_value());  // Arabic-Indic one
}

TEST(Keys, ShiftStateBits) {
  EXPECT_EQ(shiftState(Qt::NoModifier), 0);
  EXPECT_EQ(shiftState(Qt::ShiftModifier), 1);
  EXPECT_EQ(shiftState(Qt::ControlModifier), 2);
  EXPECT_EQ(shiftState(Qt::AltModifier), 4);
  EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
  EXPECT_EQ(shiftState(Qt::KeypadModifier | Qt::MetaModifier), 0);
}

}  // namespace
}  // namespace vorlane::desktop
