// Qt keys to virtual-key codes, without a window.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "platform/qt/keys.h"

namespace vorlane::qt {
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

TEST(Keys, ShiftStateBits) {
  EXPECT_EQ(shiftState(Qt::NoModifier), 0);
  EXPECT_EQ(shiftState(Qt::ShiftModifier), 1);
  EXPECT_EQ(shiftState(Qt::ControlModifier), 2);
  EXPECT_EQ(shiftState(Qt::AltModifier), 4);
  EXPECT_EQ(shiftState(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
  EXPECT_EQ(shiftState(Qt::KeypadModifier | Qt::MetaModifier), 0);
}

}  // namespace
}  // namespace vorlane::qt
