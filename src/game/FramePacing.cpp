#include "game/FramePacing.h"

bool FrameDue(uint32_t now, uint32_t lastFrameTick) { return uint32_t(now - lastFrameTick) > 10; }

uint32_t TimeUntilFrameDue(uint32_t now, uint32_t lastFrameTick) {
  const uint32_t elapsed = now - lastFrameTick;
  return elapsed > 10 ? 0 : 11 - elapsed;
}

bool FpsUpdateDue(uint32_t frameTick, uint32_t lastFpsTick, int32_t& elapsed) {
  elapsed = int32_t(frameTick - lastFpsTick);
  return elapsed > 1000;
}

int32_t MeasureFps(int32_t frameCount, int32_t elapsed) {
  // The product wraps like the 32-bit integer it is, instead of overflowing.
  int32_t product = int32_t(uint32_t(frameCount) * 1000u);
  return int32_t(double(product) / double(elapsed));
}
