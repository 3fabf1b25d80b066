#include "platform/Ticks.h"

#include <chrono>

uint32_t GetTickCount() {
  // steady_clock counts from boot on Linux, like the system tick it stands for.
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return uint32_t(uint64_t(ms.count()));
}
