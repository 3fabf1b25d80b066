#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "Replay.h"
#include "platform/InputState.h"
#include "world/GameState.h"

TEST(ReplayScript, ParsesSegmentsInAnyKeyOrder) {
  ScriptSegment s;
  std::string reason;
  ASSERT_EQ(ParseScriptLine("12 DRULE 640 480 1", s, reason), ScriptLineKind::Segment) << reason;
  EXPECT_EQ(s.frames, 12);
  for (int k = 0; k < ScriptKeyCount; ++k) EXPECT_TRUE(s.keys[k]) << k;
  EXPECT_EQ(s.mouseX, 640);
  EXPECT_EQ(s.mouseY, 480);
  EXPECT_TRUE(s.button);

  ASSERT_EQ(ParseScriptLine("\t1\t-   0 65535 0\r", s, reason), ScriptLineKind::Segment) << reason;
  EXPECT_EQ(s.frames, 1);
  for (int k = 0; k < ScriptKeyCount; ++k) EXPECT_FALSE(s.keys[k]) << k;
  EXPECT_EQ(s.mouseY, 65535);
  EXPECT_FALSE(s.button);

  ASSERT_EQ(ParseScriptLine("2147483647 R 0 0 0", s, reason), ScriptLineKind::Segment);
  EXPECT_EQ(s.frames, 2147483647);
  EXPECT_TRUE(s.keys[3]);
  EXPECT_FALSE(s.keys[1]);

  for (const char* skip : {"", "   ", "\r", "# a comment", "  #indented 1 2 3", "#"})
    EXPECT_EQ(ParseScriptLine(skip, s, reason), ScriptLineKind::Skip) << skip;
}

TEST(ReplayScript, RejectsMalformedLines) {
  const char* bad[] = {
      "1 - 0 0",           // too few fields
      "1 - 0 0 0 0",       // too many
      "1 - 0 0 0 # late",  // no trailing comments
      "0 - 0 0 0",         // frames < 1
      "-1 - 0 0 0",
      "+1 - 0 0 0",
      "2147483648 - 0 0 0",
      "99999999999999999999 - 0 0 0",
      "1.5 - 0 0 0",
      "x - 0 0 0",
      "1 X 0 0 0",  // letters outside LRUDE
      "1 l 0 0 0",
      "1 -L 0 0 0",
      "1 -- 0 0 0",
      "1 R -1 0 0",  // pointer outside 16 bits
      "1 R 0 65536 0",
      "1 R 0 0 2",
      "1 R 0 0 -",
      "1 R 0 0 01",
  };
  for (const char* line : bad) {
    ScriptSegment s;
    std::string reason;
    EXPECT_EQ(ParseScriptLine(line, s, reason), ScriptLineKind::Malformed) << line;
    EXPECT_FALSE(reason.empty()) << line;
  }
  ScriptSegment s;
  std::string reason;
  // A NUL byte is no key letter either.
  EXPECT_EQ(ParseScriptLine(std::string("1 R\0 0 0 0", 10), s, reason), ScriptLineKind::Malformed);
}

namespace {

ScriptSegment Segment(const char* keys, int32_t x, int32_t y, bool button) {
  ScriptSegment s;
  s.frames = 1;
  for (const char* k = keys; *k; ++k)
    for (int i = 0; i < ScriptKeyCount; ++i)
      if (scriptKeyLetters[i] == *k) s.keys[i] = true;
  s.mouseX = x;
  s.mouseY = y;
  s.button = button;
  return s;
}

}  // namespace

TEST(ReplayScript, MessagesMoveThenKeysInEscLeftUpRightDownOrderThenButton) {
  WindowMessage m[MaxSegmentMessages];
  ScriptSegment start;  // nothing held, (0, 0), button up
  ScriptSegment all = Segment("DRULE", 5, 6, true);
  ASSERT_EQ(SegmentMessages(start, all, m), 7);
  EXPECT_EQ(m[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(m[0].lParam, MakeLParam(5, 6));
  const uint32_t order[] = {VK_ESCAPE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(m[1 + k].message, WM_KEYDOWN);
    EXPECT_EQ(m[1 + k].wParam, order[k]);
  }
  EXPECT_EQ(m[6].message, WM_LBUTTONDOWN);

  // Right stays held (no message), the rest are released; the pointer stays.
  ScriptSegment onlyRight = Segment("R", 5, 6, false);
  ASSERT_EQ(SegmentMessages(all, onlyRight, m), 5);
  const uint32_t released[] = {VK_ESCAPE, VK_LEFT, VK_UP, VK_DOWN};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(m[k].message, WM_KEYUP);
    EXPECT_EQ(m[k].wParam, released[k]);
  }
  EXPECT_EQ(m[4].message, WM_LBUTTONUP);

  EXPECT_EQ(SegmentMessages(onlyRight, onlyRight, m), 0);
  ASSERT_EQ(SegmentMessages(onlyRight, Segment("R", 5, 7, false), m), 1);
  EXPECT_EQ(m[0].message, WM_MOUSEMOVE);
  // Starting at (0, 0) means no move for a script that stays there.
  EXPECT_EQ(SegmentMessages(start, Segment("", 0, 0, false), m), 0);
}

TEST(ReplayScript, DeliveryFillsInputAndAConsumedEscStaysConsumed) {
  ResetInputState();
  ScriptSegment start;
  ScriptSegment esc = Segment("EL", 300, 200, true);
  DeliverSegmentMessages(start, esc);
  EXPECT_TRUE(keys[VK_ESCAPE]);
  EXPECT_TRUE(keys[VK_LEFT]);
  EXPECT_EQ(mouseX, 300);
  EXPECT_EQ(mouseY, 200);
  EXPECT_TRUE(mouseDown);
  keys[VK_ESCAPE] = false;  // the game acted on it
  EndInputFrame();
  DeliverSegmentMessages(esc, Segment("E", 300, 200, true));
  EXPECT_FALSE(keys[VK_ESCAPE]);
  EXPECT_FALSE(keys[VK_LEFT]);
  EXPECT_TRUE(mouseDown);
}

TEST(ReplayTrace, DigFractionFormat) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(FormatDigFraction(inf), "inf");
  EXPECT_EQ(FormatDigFraction(-inf), "-inf");
  EXPECT_EQ(FormatDigFraction(nan), "nan");
  EXPECT_EQ(FormatDigFraction(-nan), "nan");
  EXPECT_EQ(FormatDigFraction(0.0f), "0");
  EXPECT_EQ(FormatDigFraction(30.0f), "30");
  EXPECT_EQ(FormatDigFraction(120.0f / 7.0f), "17.1428566");  // nine digits of the float, not the real quotient
  EXPECT_EQ(FormatDigFraction(0.1f), "0.100000001");
}

TEST(ReplayTrace, LineHoldsEveryFieldInOrder) {
  InitGameState();
  screen = 2;
  playerX = 20005;
  playerY = -11;
  velocityY = -10;
  airborne = true;
  cameraLift = 200;
  digTicks = 0;
  digFraction = std::numeric_limits<float>::infinity();
  targetColumn = -9;
  targetRow = 24;
  for (int k = 0; k < 6; ++k) inventory[k] = 10 * k + 1;
  won = true;
  speedBonus = 1;
  powerBonus = 2;
  rangeBonus = 3;
  randomSeed = 4294967295u;
  EXPECT_EQ(TraceLine(7), "7 2 20005 -11 -10 1 200 0 inf -9 24 1 11 21 31 41 51 1 1 2 3 4294967295");
  InitGameState();
}
