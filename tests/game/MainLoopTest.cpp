// The main loop's passes without a window: the platform and the screens are
// stood in for at link time, and every call the loop makes is written to a log.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "assets/FontUnit.h"
#include "game/MainLoop.h"
#include "platform/InputState.h"
#include "platform/MessageQueue.h"
#include "platform/RenderWindow.h"
#include "platform/Ticks.h"
#include "screens/Screens.h"
#include "world/GameState.h"

// --- The stand-ins ---

int32_t frameCount = 0;
uint32_t lastFpsTick = 0;
int32_t fps = 0;

namespace {

std::string log;
uint32_t tick = 0;
uint32_t drawTicks = 0;     // how far the clock moves while a screen draws
bool opensSucceed = true;
bool exitFromMenu = false;  // the menu's exit button, clicked in the next menu frame
WindowMessage queue[16];
int queued = 0, taken = 0;
std::string waits;  // each wait the loop asked for: "<ms>" or "message"

void Log(const std::string& entry) { log += log.empty() ? entry : " " + entry; }

void Queue(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
  queue[queued++] = WindowMessage{nullptr, message, wParam, lParam};
}

}  // namespace

uint32_t GetTickCount() { return tick; }

namespace {
bool contextCurrent = false;
bool contextGivenBack = false;
}

bool OpenRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits) {
  Log("open(" + std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(bits) +
      (fullScreen ? ",full)" : ")"));
  contextCurrent = opensSucceed;
  return opensSucceed;
}
void CloseRenderWindow(bool fullScreen) {
  Log(fullScreen ? "close(full)" : "close");
  contextCurrent = false;
}
bool RenderContextCurrent() { return contextCurrent; }
bool TakeRestoredContext() {
  const bool given = contextGivenBack;
  contextGivenBack = false;
  return given;
}
void SetupContext() { Log("context"); }
void ResizeView(int32_t width, int32_t height) {
  Log("view(" + std::to_string(width) + "x" + std::to_string(height) + ")");
}
void SetupGame() {
  Log("setup");
  lastFpsTick = tick;
  frameCount = 0;
}
void FreeGlyphLists() { Log(contextCurrent ? "free" : "free(no context)"); }
void PresentFrame() { Log("present"); }
void SetWindowTitle(const char* title) { Log(std::string("title[") + title + "]"); }

bool PeekWindowMessage(WindowMessage& message) {
  if (taken == queued) return false;
  message = queue[taken++];
  return true;
}
void WaitForWindowMessage(uint32_t fromTick, uint32_t wait) {
  if (!waits.empty()) waits += " ";
  waits += wait == WaitForMessageOnly ? "message" : fromTick == tick ? std::to_string(wait) : "stale tick";
}
intptr_t DispatchWindowMessage(const WindowMessage& message) {
  char entry[32];
  std::snprintf(entry, sizeof entry, "msg%04X", unsigned(message.message));
  Log(entry);
  return WindowProc(message.window, message.message, message.wParam, message.lParam);
}

static void Draw(const char* name) {
  Log(mouseDown ? std::string(name) + "(button)" : std::string(name));
  tick += drawTicks;
}
void DrawMenu() {
  Draw("menu");
  if (exitFromMenu) done = true;
}
void PlayFrame() { Draw("play"); }
void CraftFrame() { Draw("craft"); }

// --- The cases ---

namespace {

class MainLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInputState();
    InitGameState();
    log.clear();
    tick = 5000;
    drawTicks = 0;
    opensSucceed = true;
    exitFromMenu = false;
    queued = taken = 0;
    waits.clear();
    ASSERT_TRUE(StartMainLoop());
    active = true;  // as the window's activation brings it
    log.clear();
  }
};

TEST_F(MainLoopTest, WaitingMessagesAreHandledBeforeAFrameAndTheGateCountsFromThePresentedFrame) {
  Queue(WM_MOUSEMOVE, 0, MakeLParam(10, 20));
  Queue(WM_KEYDOWN, VK_RIGHT);
  Queue(WM_LBUTTONDOWN);
  Queue(WM_LBUTTONUP);  // a tap: the frame still sees the button down, once
  screen = ScreenPlay;
  drawTicks = 7;
  ASSERT_TRUE(RunLoopTurn());
  EXPECT_EQ(log, "msg0200 msg0100 msg0201 msg0202 play(button) present");
  EXPECT_TRUE(keys[VK_RIGHT] && !mouseDown && mouseX == 10 && mouseY == 20);
  // The third reading, after the swap: the frame's own 7 ms do not count.
  EXPECT_EQ(mainLoop.lastFrameTick, 5007u);
  EXPECT_EQ(waits, "") << "a pass that took a message or drew a frame waits for nothing";

  // A pass that finds nothing to do may wait until the gate opens, no longer.
  const struct {
    uint32_t after;
    LoopPass pass;
    const char* waits;
  } gate[] = {{0, PassIdle, "11"}, {10, PassIdle, "1"}, {11, PassFrame, ""}};
  for (const auto& g : gate) {
    waits.clear();
    mainLoop.lastFrameTick = tick;
    tick += g.after;
    EXPECT_EQ(RunLoopPass(), g.pass) << g.after << " ms after the last frame";
    EXPECT_EQ(waits, g.waits) << g.after << " ms after the last frame";
  }

  // Inactive: messages still flow, but no frame and no F1.
  log.clear();
  active = false;
  keys[VK_F1] = true;
  tick += 100;
  Queue(WM_KEYUP, VK_RIGHT);
  waits.clear();
  ASSERT_TRUE(RunLoopTurn());
  EXPECT_EQ(log, "msg0101");
  EXPECT_TRUE(keys[VK_F1]);
  EXPECT_EQ(waits, "message") << "inactive, only a message is worth waking for";
}

TEST_F(MainLoopTest, TheTitleShowsTheFrameRateOnceMoreThanASecondHasPassed) {
  // Sixty frames over 1005 ms: 59.7, truncated.
  const uint32_t start = tick;
  for (int i = 0; i < 58; ++i) {
    tick = start + 16 * uint32_t(i) + 16;
    ASSERT_EQ(RunLoopPass(), PassFrame);
  }
  EXPECT_EQ(log.find("title"), std::string::npos) << "no update before a second has passed";
  EXPECT_EQ(frameCount, 58);
  tick = start + 1000;  // exactly a second: not yet
  mainLoop.lastFrameTick = 0;
  ASSERT_EQ(RunLoopPass(), PassFrame);
  EXPECT_EQ(log.find("title"), std::string::npos);
  log.clear();
  tick = start + 1005;
  mainLoop.lastFrameTick = 0;
  drawTicks = 3;  // the count restarts from the frame's first reading, not a later one
  ASSERT_EQ(RunLoopPass(), PassFrame);
  EXPECT_EQ(log, "menu present title[ [ FPS - 59 ] ]");
  EXPECT_EQ(mainLoop.title, " [ FPS - 59 ] ");
  EXPECT_EQ(fps, 59);
  EXPECT_EQ(frameCount, 0);
  EXPECT_EQ(lastFpsTick, start + 1005);
}

TEST_F(MainLoopTest, F1ReopensInTheOtherModeOncePerPress) {
  keys[VK_F1] = true;
  ASSERT_TRUE(RunLoopTurn());
  // What the game makes in the context: freed before the close, made after the open.
  EXPECT_EQ(log, "menu present free close open(800x600x32,full) view(800x600) setup");
  EXPECT_FALSE(keys[VK_F1]);
  EXPECT_TRUE(mainLoop.fullScreen);

  // A pass that draws no frame still acts on F1.
  log.clear();
  keys[VK_F1] = true;
  ASSERT_EQ(RunLoopPass(), PassIdle);
  EXPECT_EQ(log, "free close(full) open(800x600x32) view(800x600) setup");
  EXPECT_FALSE(mainLoop.fullScreen);

  // A press and release of F1 that came together still toggle, once: on a
  // pass that draws a frame, and on one that does not.
  for (uint32_t after : {11u, 0u}) {
    log.clear();
    mainLoop.lastFrameTick = tick - after;
    Queue(WM_KEYDOWN, VK_F1);
    Queue(WM_KEYUP, VK_F1);
    const bool wasFullScreen = mainLoop.fullScreen;
    ASSERT_TRUE(RunLoopTurn());
    EXPECT_NE(log.find("open("), std::string::npos) << after << " ms after the last frame: " << log;
    EXPECT_NE(mainLoop.fullScreen, wasFullScreen);
    EXPECT_FALSE(keys[VK_F1]);
    ASSERT_TRUE(RunLoopTurn());
    EXPECT_EQ(log.find("open(", log.find("open(") + 1), std::string::npos) << "toggled twice: " << log;
  }

  // A context the system gave back is set up again, without a new world.
  log.clear();
  contextGivenBack = true;
  ASSERT_EQ(RunLoopPass(), PassIdle);
  EXPECT_EQ(log, "view(800x600) context");

  // A reopen that fails ends the loop; it tore down what it built, so there is no close.
  log.clear();
  keys[VK_F1] = true;
  opensSucceed = false;
  RunLoopPass();
  EXPECT_FALSE(RunLoopTurn());
  EXPECT_EQ(log, "free close open(800x600x32,full)");
}

TEST_F(MainLoopTest, QuitAndExitEndTheLoopWithOneClose) {
  // WM_QUIT is never dispatched; the loop closes in the mode it is in.
  mainLoop.fullScreen = true;
  Queue(WM_KEYDOWN, VK_LEFT);
  Queue(WM_QUIT);
  Queue(WM_KEYDOWN, VK_UP);
  EXPECT_FALSE(RunLoopTurn());
  EXPECT_TRUE(done);
  EXPECT_EQ(log, "msg0100 free close(full)");
  EXPECT_FALSE(RunLoopTurn());
  EXPECT_EQ(log, "msg0100 free close(full)") << "closed twice";

  // The menu's exit button: the frame is still presented, then the loop ends.
  SetUp();
  exitFromMenu = true;
  EXPECT_TRUE(RunLoopTurn());
  EXPECT_FALSE(RunLoopTurn());
  EXPECT_EQ(log, "menu present free close");
}

}  // namespace
