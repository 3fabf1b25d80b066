#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/InputState.h"
#include "platform/WindowProc.h"

namespace {

struct DefaultCall {
  int count = 0;
  WindowHandle window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
} defaultCall;

intptr_t RecordDefault(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  defaultCall = {defaultCall.count + 1, window, message, wParam, lParam};
  return 0x1234ABCD;
}

int resizeCalls = 0;
int32_t resizedWidth = -1, resizedHeight = -1;
void RecordResize(int32_t width, int32_t height) {
  ++resizeCalls;
  resizedWidth = width;
  resizedHeight = height;
}

class WindowProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInputState();
    defaultCall = {};
    resizeCalls = 0;
    quitPosted = false;
    quitExitCode = -1;
    defaultWindowProcHook = RecordDefault;
    resizeViewHook = nullptr;
  }
  void TearDown() override {
    defaultWindowProcHook = nullptr;
    resizeViewHook = nullptr;
    quitPosted = false;
    quitExitCode = 0;
  }
  intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    return WindowProc(window, message, wParam, lParam);
  }
  int dummy = 0;
  WindowHandle window = reinterpret_cast<WindowHandle>(&dummy);
};

}  // namespace

TEST_F(WindowProcTest, KeysDownUpAndAutoRepeat) {
  EXPECT_EQ(Send(WM_KEYDOWN, VK_LEFT), 0);
  EXPECT_TRUE(keys[VK_LEFT]);
  Send(WM_KEYDOWN, VK_LEFT);  // auto-repeat
  EXPECT_TRUE(keys[VK_LEFT]);
  keys[VK_ESCAPE] = false;  // a consumer cleared Esc; a repeat sets it again
  Send(WM_KEYDOWN, VK_ESCAPE);
  Send(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_TRUE(keys[VK_ESCAPE]);
  EndInputFrame();  // a frame has seen the presses
  EXPECT_EQ(Send(WM_KEYUP, VK_LEFT), 0);
  EXPECT_FALSE(keys[VK_LEFT]);
  Send(WM_KEYUP, VK_LEFT);  // a second release changes nothing
  EXPECT_FALSE(keys[VK_LEFT]);
  Send(WM_KEYDOWN, 0);
  Send(WM_KEYDOWN, 255);
  EXPECT_TRUE(keys[0]);
  EXPECT_TRUE(keys[255]);
  EXPECT_EQ(defaultCall.count, 0);
}

TEST_F(WindowProcTest, KeyCodesFrom256UpAreIgnored) {
  bool before[256];
  for (uintptr_t code : {uintptr_t(256), uintptr_t(256 + VK_LEFT), uintptr_t(0x10000), ~uintptr_t(0)}) {
    std::copy(keys, keys + 256, before);
    EXPECT_EQ(Send(WM_KEYDOWN, code), 0);
    EXPECT_TRUE(std::equal(keys, keys + 256, before)) << code;
  }
  keys[VK_LEFT] = true;
  EXPECT_EQ(Send(WM_KEYUP, 256 + VK_LEFT), 0);
  EXPECT_TRUE(keys[VK_LEFT]);
  EXPECT_EQ(defaultCall.count, 0);  // handled, not passed on
}

TEST_F(WindowProcTest, PointerComesOnlyFromMovesAsUnsignedWords) {
  EXPECT_EQ(Send(WM_MOUSEMOVE, 0, MakeLParam(123, 456)), 0);
  EXPECT_EQ(mouseX, 123);
  EXPECT_EQ(mouseY, 456);
  Send(WM_MOUSEMOVE, 0, intptr_t(0xFFFF0001u));
  EXPECT_EQ(mouseX, 1);
  EXPECT_EQ(mouseY, 65535);
  Send(WM_MOUSEMOVE, 0, -1);  // all bits set: both words 65535, nothing negative
  EXPECT_EQ(mouseX, 65535);
  EXPECT_EQ(mouseY, 65535);
  Send(WM_MOUSEMOVE, 0, MakeLParam(10, 20));
  Send(WM_LBUTTONDOWN, 0, MakeLParam(300, 400));
  Send(WM_LBUTTONUP, 0, MakeLParam(500, 600));
  EXPECT_EQ(mouseX, 10);
  EXPECT_EQ(mouseY, 20);
}

TEST_F(WindowProcTest, ButtonLatch) {
  EXPECT_EQ(Send(WM_LBUTTONDOWN), 0);
  EXPECT_TRUE(mouseDown);
  // Released outside the window: no message, the latch stays set.
  Send(WM_MOUSEMOVE, 0, MakeLParam(799, 5));
  EXPECT_TRUE(mouseDown);
  mouseDown = false;  // consumed by a screen
  EXPECT_EQ(Send(WM_LBUTTONUP), 0);
  EXPECT_FALSE(mouseDown);
  EXPECT_EQ(defaultCall.count, 0);
}

// Messages between two frames, and what each frame reads of the button (B)
// and of Esc (E): a press is seen by the next frame, however soon its release
// came, and a release no frame had to wait for takes effect at once.
TEST_F(WindowProcTest, AFrameSeesEveryPressEvenWhenItsReleaseCameWithIt) {
  const uint32_t Frame = 0, Down = WM_LBUTTONDOWN, Up = WM_LBUTTONUP, Consume = 1, KeyDown = WM_KEYDOWN,
                 KeyUp = WM_KEYUP, KeyConsume = 2, Deactivate = WM_ACTIVATEAPP;
  const struct {
    const char* what;
    uint32_t steps[7];
    const char* framesSee;  // what each frame reads, in order
  } cases[] = {
      {"a tap: down and up before a frame", {Down, Up, Frame, Frame}, "B -"},
      {"held over frames, then up", {Down, Frame, Frame, Up, Frame}, "B B -"},
      {"a tap and a second press before a frame", {Down, Up, Down, Frame, Frame}, "B B"},
      {"two taps before a frame act once", {Down, Up, Down, Up, Frame, Frame}, "B -"},
      {"a tap a screen consumes", {Down, Up, Consume, Frame, Frame}, "- -"},
      {"a quick key: down and up before a frame", {KeyDown, KeyUp, Frame, Frame}, "E -"},
      {"a key held over frames, then up", {KeyDown, Frame, KeyUp, Frame}, "E -"},
      {"an auto-repeat after a frame, then up", {KeyDown, Frame, KeyDown, KeyUp, Frame, Frame}, "E E -"},
      {"a quick key the game consumes stays consumed", {KeyDown, KeyUp, KeyConsume, Frame, Frame}, "- -"},
      {"a quick key and a quick click together", {KeyDown, Down, Up, KeyUp, Frame, Frame}, "BE -"},
      {"losing the activation lets go of quick presses at once", {KeyDown, Down, KeyUp, Up, Deactivate, Frame}, "-"},
      {"and of nothing still held", {KeyDown, Down, Deactivate, Frame}, "BE"},
  };
  for (const auto& c : cases) {
    ResetInputState();
    std::string seen;
    for (uint32_t step : c.steps) {
      if (step == Down || step == Up) {
        Send(step);
      } else if (step == KeyDown || step == KeyUp) {
        Send(step, VK_ESCAPE);
      } else if (step == Deactivate) {
        Send(step, 0);
      } else if (step == Consume) {
        mouseDown = false;
      } else if (step == KeyConsume) {
        keys[VK_ESCAPE] = false;
      } else {
        if (!seen.empty()) seen += ' ';
        const size_t before = seen.size();
        if (mouseDown) seen += 'B';
        if (keys[VK_ESCAPE]) seen += 'E';
        if (seen.size() == before) seen += '-';
        EndInputFrame();
      }
      if (seen.size() == std::strlen(c.framesSee)) break;
    }
    EXPECT_EQ(seen, c.framesSee) << c.what;
  }
}

TEST_F(WindowProcTest, ActivationOnlyForOneAndKeepsInput) {
  keys[VK_RIGHT] = true;
  mouseDown = true;
  EXPECT_EQ(Send(WM_ACTIVATEAPP, 1), 0);
  EXPECT_TRUE(active);
  EXPECT_EQ(Send(WM_ACTIVATEAPP, 0), 0);
  EXPECT_FALSE(active);
  Send(WM_ACTIVATEAPP, 2);
  EXPECT_FALSE(active);
  EXPECT_TRUE(keys[VK_RIGHT]);
  EXPECT_TRUE(mouseDown);
}

TEST_F(WindowProcTest, SizeReachesTheHookOnlyWhenThereIsOne) {
  EXPECT_EQ(Send(WM_SIZE, 0, MakeLParam(800, 600)), 0);  // no window: nothing happens
  EXPECT_EQ(resizeCalls, 0);
  resizeViewHook = RecordResize;
  EXPECT_EQ(Send(WM_SIZE, 0, MakeLParam(640, 0)), 0);
  EXPECT_EQ(resizeCalls, 1);
  EXPECT_EQ(resizedWidth, 640);
  EXPECT_EQ(resizedHeight, 0);  // a minimised window; the view makes it 1
  Send(WM_SIZE, 0, intptr_t(0xFFFFFFFFu));
  EXPECT_EQ(resizedWidth, 65535);
  EXPECT_EQ(resizedHeight, 65535);
  EXPECT_EQ(defaultCall.count, 0);
}

int32_t systemQuitCode = -1;
void RecordSystemQuit(int32_t exitCode) { systemQuitCode = exitCode; }

TEST_F(WindowProcTest, CloseOnlyPostsAQuit) {
  EXPECT_EQ(Send(WM_CLOSE), 0);
  EXPECT_TRUE(quitPosted);
  EXPECT_EQ(quitExitCode, 0);
  EXPECT_FALSE(done);  // the main loop sets it when the quit comes back
  EXPECT_EQ(defaultCall.count, 0);

  // Where the system has its own queue, the quit goes there and nowhere else.
  quitPosted = false;
  postQuitMessageHook = RecordSystemQuit;
  EXPECT_EQ(Send(WM_CLOSE), 0);
  postQuitMessageHook = nullptr;
  EXPECT_EQ(systemQuitCode, 0);
  EXPECT_FALSE(quitPosted);
  EXPECT_FALSE(done);
}

TEST_F(WindowProcTest, OtherMessagesGoToTheDefaultWithTheSameArguments) {
  const uint32_t WM_SYSKEYDOWN = 0x0104;
  EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F1, 0x20000001), 0x1234ABCD);
  EXPECT_EQ(defaultCall.count, 1);
  EXPECT_EQ(defaultCall.window, window);
  EXPECT_EQ(defaultCall.message, WM_SYSKEYDOWN);
  EXPECT_EQ(defaultCall.wParam, uintptr_t(VK_F1));
  EXPECT_EQ(defaultCall.lParam, 0x20000001);
  EXPECT_FALSE(keys[VK_F1]);  // system keys are not recorded

  EXPECT_EQ(Send(0x7FFF, ~uintptr_t(0), -5), 0x1234ABCD);
  EXPECT_EQ(defaultCall.count, 2);
  EXPECT_EQ(defaultCall.wParam, ~uintptr_t(0));
  EXPECT_EQ(defaultCall.lParam, -5);

  defaultWindowProcHook = nullptr;  // no platform behind it: dropped with 0
  EXPECT_EQ(Send(0x0104, VK_F1), 0);
}
