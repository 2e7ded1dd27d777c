// SPDX-License-Identifier: MIT
#include "desktop/key_events.h"

#include <QChar>
#include <array>
#include <string_view>

namespace vorlane::desktop {

namespace {

// A letter in a script other than Latin: Qt reports such a key as its
// capital's code point.
bool nonLatinLetter(int qtKey) {
  if (qtKey <= 0 || qtKey > 0x10FFFF) return false;
  const auto code = static_cast<char32_t>(qtKey);
  return QChar::isLetter(code) && QChar::script(code) != QChar::Script_Latin;
}

// The virtual-key code of the Latin letter a US keyboard has on the key of
// this native scan code, or nothing.
std::optional<std::uint16_t> letterAtScanCode(std::uint32_t nativeScanCode) {
  // The three letter rows of a US keyboard by their first key's code: PC
  // scan codes, which are also the Linux input codes (evdev); X11 and
  // Wayland report the latter plus 8 (xkb keycodes). Other systems' codes
  // are not known here.
  struct Row {
    std::uint32_t first;
    const char* letters;
  };
  static constexpr std::array<Row, 3> kRows{
      {{16, "QWERTYUIOP"}, {30, "ASDFGHJKL"}, {44, "ZXCVBNM"}}};
#if defined(Q_OS_WIN)
  const std::uint32_t code = nativeScanCode;
#elif defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  if (nativeScanCode < 8) return std::nullopt;
  const std::uint32_t code = nativeScanCode - 8;
#else
  const std::uint32_t code = 0;
  static_cast<void>(nativeScanCode);
#endif
  for (const Row& row : kRows) {
    const std::string_view letters(row.letters);
    if (code >= row.first && code - row.first < letters.size()) {
      return static_cast<std::uint16_t>(letters[code - row.first]);
    }
  }
  return std::nullopt;
}

}  // namespace

// Qt's codes for letters and digits are the characters', as the keyboard's are.
static_assert(Qt::Key_A == vk::kA && Qt::Key_Z == vk::kZ && Qt::Key_0 == vk::kDigit0 &&
              Qt::Key_9 == vk::kDigit9);

std::optional<std::uint16_t> virtualKey(int qtKey, std::uint32_t nativeScanCode) {
  // Qt reports a letter as its capital whatever the shift and caps state,
  // and digits as their characters: both equal their virtual-key codes.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return static_cast<std::uint16_t>(qtKey);
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
    return static_cast<std::uint16_t>(vk::kF1 + (qtKey - Qt::Key_F1));
  }
  switch (qtKey) {
    case Qt::Key_Backspace:
      return vk::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // Shift+Tab arrives as a key of its own
      return vk::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return vk::kReturn;
    case Qt::Key_Shift:
      return vk::kShift;
    case Qt::Key_Control:
      return vk::kControl;
    case Qt::Key_Alt:
      return vk::kMenu;
    case Qt::Key_Escape:
      return vk::kEscape;
    case Qt::Key_Space:
      return vk::kSpace;
    case Qt::Key_PageUp:
      return vk::kPrior;
    case Qt::Key_PageDown:
      return vk::kNext;
    case Qt::Key_End:
      return vk::kEnd;
    case Qt::Key_Home:
      return vk::kHome;
    case Qt::Key_Left:
      return vk::kLeft;
    case Qt::Key_Up:
      return vk::kUp;
    case Qt::Key_Right:
      return vk::kRight;
    case Qt::Key_Down:
      return vk::kDown;
    case Qt::Key_Insert:
      return vk::kInsert;
    case Qt::Key_Delete:
      return vk::kDelete;
    default:
      if (nonLatinLetter(qtKey)) return letterAtScanCode(nativeScanCode);
      return std::nullopt;
  }
}

int shiftState(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers.testFlag(Qt::ShiftModifier)) shift |= kShiftBit;
  if (modifiers.testFlag(Qt::ControlModifier)) shift |= kCtrlBit;
  if (modifiers.testFlag(Qt::AltModifier)) shift |= kAltBit;
  return shift;
}

}  // namespace vorlane::desktop
