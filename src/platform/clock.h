// SPDX-License-Identifier: MIT
// The time of day, which seeds the random source at every start.
#pragma once

namespace vorlane {

// Seconds since local midnight, with the fraction.
float secondsSinceMidnight();

}  // namespace vorlane
