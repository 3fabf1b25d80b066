#include <gtest/gtest.h>

#include <cstdint>

#include "game/FramePacing.h"

TEST(FrameGate, TenMillisecondsIsTooSoonElevenIsAFrame) {
  EXPECT_FALSE(FrameDue(1010, 1000));
  EXPECT_TRUE(FrameDue(1011, 1000));
  EXPECT_FALSE(FrameDue(1000, 1000));
}

TEST(FrameGate, FirstPassDrawsAtOnce) {
  // lastFrameTick starts at 0; any tick past 10 ms after boot draws.
  EXPECT_TRUE(FrameDue(11, 0));
  EXPECT_TRUE(FrameDue(123456789, 0));
  EXPECT_FALSE(FrameDue(10, 0));
}

TEST(FrameGate, TickWrapKeepsFramesComing) {
  // 5 ms before the wrap to 6 ms after it: 11 ms modulo 2^32.
  EXPECT_TRUE(FrameDue(6, 0xFFFFFFFBu));
  EXPECT_FALSE(FrameDue(5, 0xFFFFFFFBu));
  EXPECT_TRUE(FrameDue(0x7FFFFFFFu, 0xFFFFFFF0u));
}

TEST(FrameGate, ClockBehindTheLastFrameStillDraws) {
  // An unsigned difference: a tick that reads earlier than the last frame is a
  // huge elapsed time, not a stall.
  EXPECT_TRUE(FrameDue(999, 1000));
}

TEST(FrameGate, WaitEndsExactlyWhenTheGateOpens) {
  // The loop sleeps this long for a message: one millisecond too long makes a
  // frame late, too short wakes it for nothing.
  const struct {
    uint32_t now, lastFrameTick, wait;
  } rows[] = {
      {1000, 1000, 11},             // just presented
      {1010, 1000, 1},              // the gate's last closed millisecond
      {1011, 1000, 0},              // due
      {123456789, 0, 0},            // first pass
      {2, 0xFFFFFFFBu, 4},          // across the wrap: 7 ms gone
      {0xFFFFFFFFu, 0xFFFFFFF8u, 4},
      {999, 1000, 0},               // a clock behind the last frame: due, no wait
  };
  for (const auto& r : rows) {
    const uint32_t wait = TimeUntilFrameDue(r.now, r.lastFrameTick);
    EXPECT_EQ(wait, r.wait) << r.now << " after " << r.lastFrameTick;
    EXPECT_TRUE(FrameDue(r.now + wait, r.lastFrameTick)) << r.now;
    if (wait > 0) {
      EXPECT_FALSE(FrameDue(r.now + wait - 1, r.lastFrameTick)) << r.now;
    }
  }
}

TEST(FpsUpdate, ThousandMillisecondsWaitsThousandAndOneMeasures) {
  int32_t elapsed = 0;
  EXPECT_FALSE(FpsUpdateDue(2000, 1000, elapsed));
  EXPECT_EQ(elapsed, 1000);
  EXPECT_TRUE(FpsUpdateDue(2001, 1000, elapsed));
  EXPECT_EQ(elapsed, 1001);
}

TEST(FpsUpdate, SignedDifferenceAcrossTheWrap) {
  int32_t elapsed = 0;
  EXPECT_TRUE(FpsUpdateDue(1001, 0xFFFFFFFFu, elapsed));
  EXPECT_EQ(elapsed, 1002);
  // A tick more than 2^31 ms ahead reads as negative and waits.
  EXPECT_FALSE(FpsUpdateDue(0x80000010u, 0x00000001u, elapsed));
  EXPECT_LT(elapsed, 0);
}

TEST(FpsMeasure, TruncatesTowardZero) {
  EXPECT_EQ(MeasureFps(60, 1005), 59);  // 59.70...
  EXPECT_EQ(MeasureFps(90, 1001), 89);  // 89.91...
  EXPECT_EQ(MeasureFps(1001, 1001), 1000);
  EXPECT_EQ(MeasureFps(0, 5000), 0);    // nothing drawn during a long inactive spell
  EXPECT_EQ(MeasureFps(3, 60000), 0);
}

TEST(FpsMeasure, ProductIsThirtyTwoBits) {
  // 2147484 x 1000 wraps to a negative 32-bit product, as the loop's arithmetic does.
  EXPECT_EQ(MeasureFps(2147484, 1001), int32_t(double(int32_t(uint32_t(2147484) * 1000u)) / 1001.0));
  EXPECT_LT(MeasureFps(2147484, 1001), 0);
}
