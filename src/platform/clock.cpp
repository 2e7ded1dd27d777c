// SPDX-License-Identifier: MIT
#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace vorlane {

float secondsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  const auto fraction = duration<double>(now - system_clock::from_time_t(t)).count();
  return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + fraction);
}

}  // namespace vorlane
