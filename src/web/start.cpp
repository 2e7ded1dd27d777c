// SPDX-License-Identifier: MIT
#include "web/app.h"

namespace vorlane::web {

StartOptions startOptions() { return {timeOfDay, true}; }

}  // namespace vorlane::web
