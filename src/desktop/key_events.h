// SPDX-License-Identifier: MIT
// The keyboard as the game sees it: Qt keys as 16-bit virtual-key codes of a
// desktop keyboard, and the modifier keys as the shift state of a key-down
// event.
#pragma once

#include <Qt>
#include <cstdint>
#include <optional>

#include "platform/keys.h"

namespace vorlane::desktop {

// The virtual-key code of a Qt key, or nothing for a key the game's keyboard
// does not have. Letters map by key whatever the shift and caps state. A
// letter of a layout without Latin letters (Cyrillic, Greek...) maps by the
// key's place: the Latin letter a US keyboard has there, found from the
// native scan code; 0 means the place is unknown.
std::optional<std::uint16_t> virtualKey(int qtKey, std::uint32_t nativeScanCode = 0);

// The shift state of a key-down event for the modifiers held.
int shiftState(Qt::KeyboardModifiers modifiers);

}  // namespace vorlane::desktop
