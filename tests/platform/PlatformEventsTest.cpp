// The platform core: the messages it makes of backends' events, and the
// decisions of a wait for messages between frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/InputState.h"
#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"
#include "platform/PlatformEvents.h"
#include "platform/Waiting.h"

// No system behind the queue: every event is posted by the test.
bool PumpNativeEvent() { return false; }

namespace {

PlatformEvent Pointer(PlatformEventKind kind, int32_t finger, int32_t x, int32_t y, bool held = false) {
  PlatformEvent e = {};
  e.kind = kind;
  e.finger = finger;
  e.x = x;
  e.y = y;
  e.buttonHeld = held;
  return e;
}

PlatformEvent Key(PlatformEventKind kind, uint16_t usage, char character = 0, bool alt = false, bool repeat = false) {
  PlatformEvent e = Pointer(kind, Mouse, 0, 0);
  e.usage = usage;
  e.character = character;
  e.altHeld = alt;
  e.repeat = repeat;
  return e;
}

PlatformEvent Simple(PlatformEventKind kind, int32_t x = 0, int32_t y = 0) { return Pointer(kind, Mouse, x, y); }

// Every message the loop would take now, as "message:wParam:lParam" in hexadecimal.
std::string TakeAll() {
  std::string taken;
  WindowMessage m;
  while (PeekWindowMessage(m)) {
    char text[48];
    std::snprintf(text, sizeof text, "%s%X:%X:%X", taken.empty() ? "" : " ", unsigned(m.message), unsigned(m.wParam),
                  unsigned(uintptr_t(m.lParam) & 0xFFFFFFFFu));
    taken += text;
  }
  return taken;
}

class PlatformEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetPlatformEvents();
    quitPosted = false;
  }
  void TearDown() override { quitPosted = false; }
};

// Each row: events posted in order, then the messages the loop takes.
TEST_F(PlatformEventsTest, EventsBecomeTheMessagesAWin32WindowWouldHave) {
  const uint16_t Kp8 = UsageKeypad1 + 7, Kp6 = UsageKeypad1 + 5, F4 = UsageF1 + 3, F10 = UsageF1 + 9;
  const uint16_t Alt = 0xE2;
  const struct {
    const char* what;
    std::vector<PlatformEvent> events;
    const char* messages;
  } rows[] = {
      {"a key down, repeated, up: lParam's repeat count, previous state and transition bits",
       {Key(KeyPressed, UsageEscape), Key(KeyPressed, UsageEscape, 0, false, true), Key(KeyReleased, UsageEscape)},
       "100:1B:1 100:1B:40000001 101:1B:C0000001"},
      {"NumLock changes while keypad keys are held: each repeats and goes up as the key it went down as",
       {Key(KeyPressed, Kp8), Key(KeyPressed, Kp6, '6'), Key(KeyPressed, Kp8, '8', false, true), Key(KeyReleased, Kp8, '8'),
        Key(KeyReleased, Kp6)},
       "100:26:1 100:66:1 100:26:40000001 101:26:C0000001 101:66:C0000001"},
      {"Alt itself, keys with Alt held and F10 are system keys",
       {Key(KeyPressed, Alt, 0, true), Key(KeyPressed, F4, 0, true), Key(KeyPressed, F10), Key(KeyReleased, F10),
        Key(KeyReleased, Alt)},
       "104:12:1 104:73:1 104:79:1 105:79:C0000001 105:12:C0000001"},
      {"a key without a number makes no message", {Key(KeyPressed, 0x7F), Key(KeyPressed, 0)}, ""},
      {"pointer moves that follow each other are merged; a button between them is not",
       {Pointer(PointerMoved, Mouse, 1, 2), Pointer(PointerMoved, Mouse, 3, 4, true), Pointer(ButtonPressed, Mouse, 3, 4),
        Pointer(PointerMoved, Mouse, 5, 6, true), Pointer(ButtonReleased, Mouse, 5, 6)},
       "200:1:40003 201:1:40003 200:1:60005 202:0:60005"},
      {"one finger is the button; a second finger neither moves it nor takes it over",
       {Pointer(ButtonPressed, 7, 10, 20), Pointer(ButtonPressed, 8, 90, 90), Pointer(PointerMoved, 8, 91, 91, true),
        Pointer(ButtonReleased, 8, 91, 91), Pointer(PointerMoved, 7, 11, 21, true), Pointer(ButtonReleased, 7, 11, 21),
        Pointer(ButtonPressed, 8, 50, 60)},
       "200:0:14000A 201:1:14000A 200:1:15000B 202:0:15000B 200:0:3C0032 201:1:3C0032"},
      {"focus, size (0 x 0 is minimised) and close",
       {Simple(FocusGained), Simple(Resized, 1024, 700), Simple(Resized), Simple(FocusLost), Simple(CloseRequested)},
       "1C:1:0 5:0:2BC0400 5:1:0 1C:0:0 10:0:0"},
  };
  for (const auto& r : rows) {
    ResetPlatformEvents();
    for (const PlatformEvent& e : r.events) PostPlatformEvent(e);
    EXPECT_EQ(TakeAll(), r.messages) << r.what;
  }
}

// The page loses the focus: what is held is released there and then, each key
// as it went down, and the button whether a finger or the mouse holds it.
TEST_F(PlatformEventsTest, ReleasingHeldInputReleasesEveryHeldKeyAndTheButtonOnce) {
  PostPlatformEvent(Key(KeyPressed, UsageKeypad1 + 7));  // Up, NumLock off
  PostPlatformEvent(Key(KeyPressed, UsageRight));
  PostPlatformEvent(Key(KeyReleased, UsageRight));
  PostPlatformEvent(Pointer(ButtonPressed, 3, 4, 5));
  TakeAll();
  EXPECT_TRUE(KeyHeld(UsageKeypad1 + 7));
  EXPECT_FALSE(KeyHeld(UsageRight));
  ReleaseHeldInput();
  EXPECT_EQ(TakeAll(), "101:26:C0000001 202:0:0");
  ReleaseHeldInput();
  EXPECT_EQ(TakeAll(), "") << "released twice";
  // The finger's identity is forgotten too: a new finger is the button again.
  PostPlatformEvent(Pointer(ButtonPressed, 9, 1, 1));
  EXPECT_EQ(TakeAll(), "200:0:10001 201:1:10001");
}

TEST_F(PlatformEventsTest, APostedQuitComesBackOnceTheQueueIsEmpty) {
  PostPlatformEvent(Simple(CloseRequested));
  PostPlatformEvent(Pointer(PointerMoved, Mouse, 5, 6));
  WindowMessage close;
  ASSERT_TRUE(PeekWindowMessage(close));
  DispatchWindowMessage(close);  // posts the quit
  EXPECT_TRUE(quitPosted);
  EXPECT_EQ(TakeAll(), "200:0:60005 12:0:0");
  EXPECT_FALSE(quitPosted);
}

TEST(WaitPlan, SleepsOnlyWhenNothingWaitsAndWakesJustBeforeTheGate) {
  constexpr int64_t Ms = 1000000;
  const int64_t now = 1005 * Ms + 300000;  // tick 1005, 0.3 ms into it
  const struct {
    const char* what;
    WaitInputs in;
    int64_t sleep;
    int watchedCount;
  } rows[] = {
      {"the gate opens at tick 1016: 10.7 ms left, less the early wake-up",
       {now, 1005, 11, 5, 6, false, false, false, false}, 11 * Ms - 300000 - WakeEarlyNanoseconds, 2},
      {"inactive: only a message is worth waking for, at most the longest wait",
       {now, 0, WaitForMessageOnly, 5, 6, false, false, false, false}, LongestWaitNanoseconds, 2},
      {"without a signal pipe only the connection is watched",
       {now, 1005, 11, 5, -1, false, false, false, false}, 11 * Ms - 300000 - WakeEarlyNanoseconds, 1},
      {"the frame is due", {now, 1000, 5, 5, 6, false, false, false, false}, 0, 0},
      {"the gate opens within the early wake-up", {1015 * Ms + 800000, 1005, 11, 5, 6, false, false, false, false}, 0, 0},
      {"no connection to watch", {now, 1005, 11, -1, 6, false, false, false, false}, 0, 0},
      {"a close signal came", {now, 1005, 11, 5, 6, true, false, false, false}, 0, 0},
      {"a quit was posted", {now, 1005, 11, 5, 6, false, true, false, false}, 0, 0},
      {"SDL holds events", {now, 1005, 11, 5, 6, false, false, true, false}, 0, 0},
      {"the display library read events off the connection", {now, 1005, 11, 5, 6, false, false, false, true}, 0, 0},
      {"the tick wrapped", {4294967295LL * Ms, 4294967290u, 11, 5, 6, false, false, false, false},
       6 * Ms - WakeEarlyNanoseconds, 2},
  };
  for (const auto& r : rows) {
    const WaitPlan plan = PlanWait(r.in);
    EXPECT_EQ(plan.sleep, r.sleep) << r.what;
    ASSERT_EQ(plan.watchedCount, r.watchedCount) << r.what;
    if (plan.watchedCount > 0) {
      EXPECT_EQ(plan.watched[0], 5) << r.what;
    }
    if (plan.watchedCount > 1) {
      EXPECT_EQ(plan.watched[1], 6) << r.what << ": the signal pipe";
    }
  }
}

}  // namespace
