#include "platform/Waiting.h"

#include "platform/MessageQueue.h"

namespace {

constexpr int64_t Millisecond = 1000000;

// Time from `now` until the tick reads `deadline`, less WakeEarly; zero or
// less when that is already past.
int64_t TimeUntilTick(int64_t now, uint32_t deadline) {
  const uint32_t tick = uint32_t(uint64_t(now / Millisecond));
  const int32_t whole = int32_t(deadline - tick);
  if (whole <= 0) return 0;
  return whole * Millisecond - now % Millisecond - WakeEarlyNanoseconds;
}

}  // namespace

WaitPlan PlanWait(const WaitInputs& in) {
  WaitPlan plan = {0, {-1, -1}, 0};
  int64_t left = LongestWaitNanoseconds;
  if (in.wait != WaitForMessageOnly) {
    const int64_t untilFrame = TimeUntilTick(in.now, in.fromTick + in.wait);
    if (untilFrame < left) left = untilFrame;
  }
  if (left <= 0 || in.connection < 0 || in.closeSignal || in.quitPosted || in.eventsQueued || in.connectionQueued)
    return plan;
  plan.sleep = left;
  plan.watched[plan.watchedCount++] = in.connection;
  if (in.signalPipe >= 0) plan.watched[plan.watchedCount++] = in.signalPipe;
  return plan;
}
