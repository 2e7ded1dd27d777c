#include "platform/qt/keys.h"

namespace vorlane::qt {

std::optional<std::uint16_t> virtualKey(int qtKey) {
  // Qt reports a letter as its capital whatever the shift and caps state,
  // and digits as their characters: both equal their virtual-key codes.
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
    return static_cast<std::uint16_t>(qtKey);
  }
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
    return static_cast<std::uint16_t>(112 + (qtKey - Qt::Key_F1));
  }
  switch (qtKey) {
    case Qt::Key_Backspace:
      return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:  // Shift+Tab arrives as a key of its own
      return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Shift:
      return 16;
    case Qt::Key_Control:
      return 17;
    case Qt::Key_Alt:
      return 18;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_PageUp:
      return 33;
    case Qt::Key_PageDown:
      return 34;
    case Qt::Key_End:
      return 35;
    case Qt::Key_Home:
      return 36;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    case Qt::Key_Insert:
      return 45;
    case Qt::Key_Delete:
      return 46;
    default:
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

}  // namespace vorlane::qt
