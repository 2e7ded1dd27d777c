// SPDX-License-Identifier: MIT
#include "platform/clock.h"
#include "web/app.h"

namespace vorlane::web {

StartOptions startOptions() { return {secondsSinceMidnight, true}; }

}  // namespace vorlane::web
