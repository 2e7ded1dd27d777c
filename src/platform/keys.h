// SPDX-License-Identifier: MIT
// The keyboard as the game hears it: the 16-bit virtual-key codes of a
// desktop keyboard that both front ends raise for their keys, and the shift
// state bits of a key-down. This file is the one table: the page's build
// reads it to write the page's key table (keycodes.js), so a key is added
// here and then mapped by each front end.
#pragma once

#include <cstdint>

namespace vorlane {

namespace vk {
inline constexpr std::uint16_t kBack = 8;
inline constexpr std::uint16_t kTab = 9;
inline constexpr std::uint16_t kReturn = 13;
inline constexpr std::uint16_t kShift = 16;
inline constexpr std::uint16_t kControl = 17;
inline constexpr std::uint16_t kMenu = 18;  // Alt
inline constexpr std::uint16_t kEscape = 27;
inline constexpr std::uint16_t kSpace = 32;
inline constexpr std::uint16_t kPrior = 33;  // Page Up
inline constexpr std::uint16_t kNext = 34;   // Page Down
inline constexpr std::uint16_t kEnd = 35;
inline constexpr std::uint16_t kHome = 36;
inline constexpr std::uint16_t kLeft = 37;
inline constexpr std::uint16_t kUp = 38;
inline constexpr std::uint16_t kRight = 39;
inline constexpr std::uint16_t kDown = 40;
inline constexpr std::uint16_t kInsert = 45;
inline constexpr std::uint16_t kDelete = 46;
// Digits and Latin letters are their characters' codes, '0' to '9' and 'A'
// to 'Z', whatever the shift state; the game's letters are named.
inline constexpr std::uint16_t kDigit0 = 48;
inline constexpr std::uint16_t kDigit9 = 57;
inline constexpr std::uint16_t kA = 65;
inline constexpr std::uint16_t kP = 80;
inline constexpr std::uint16_t kS = 83;
inline constexpr std::uint16_t kZ = 90;
inline constexpr std::uint16_t kF1 = 112;
inline constexpr std::uint16_t kF12 = 123;
}  // namespace vk

// Shift state bits of a key-down event.
inline constexpr int kShiftBit = 1;
inline constexpr int kCtrlBit = 2;
inline constexpr int kAltBit = 4;

}  // namespace vorlane
