// SPDX-License-Identifier: MIT
// A block's colour, drawn from the random source.
#pragma once

#include "platform/random.h"
#include "platform/types.h"

namespace vorlane {

// u * 6 * 30 + 75 rounded to the nearest whole number, halves to even: 75 to 255.
unsigned colourChannel(float u);

// Three successive draws give red, green and blue.
Colour randomColour(RandomSource& random);

}  // namespace vorlane
