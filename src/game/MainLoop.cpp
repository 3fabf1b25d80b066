#include "game/MainLoop.h"

#include "assets/FontUnit.h"
#include "assets/UTypes.h"
#include "game/FramePacing.h"
#include "platform/InputState.h"
#include "platform/MessageQueue.h"
#include "platform/RenderWindow.h"
#include "platform/Ticks.h"
#include "screens/Screens.h"
#include "world/GameState.h"

MainLoopState mainLoop = {false, 0, std::string(), WindowMessage(), false};

namespace {

constexpr int32_t ViewWidth = 800;
constexpr int32_t ViewHeight = 600;
constexpr int32_t ColourBits = 32;

// The window with what the game makes in its context: right after a successful
// open the view and the game's setup, right before the close the glyph lists,
// the only lists the game frees itself (the others end with the context).
bool OpenGameWindow() {
  if (!OpenRenderWindow(ViewWidth, ViewHeight, mainLoop.fullScreen, ColourBits)) return false;
  ResizeView(ViewWidth, ViewHeight);
  SetupGame();
  return true;
}

void CloseGameWindow() {
  if (RenderContextCurrent()) FreeGlyphLists();
  CloseRenderWindow(mainLoop.fullScreen);
}

void DrawFrame() {
  uint32_t frameTick = GetTickCount();
  ++frameCount;
  DrawScreenFrame();
  PresentFrame();

  int32_t elapsed = 0;
  if (FpsUpdateDue(frameTick, lastFpsTick, elapsed)) {
    fps = MeasureFps(frameCount, elapsed);
    mainLoop.title = " [ FPS - " + IntToText(fps) + " ] ";
    SetWindowTitle(mainLoop.title.c_str());
    lastFpsTick = frameTick;
    frameCount = 0;
  }
  // Taken after the swap and the title, so the gate counts from the presented frame.
  mainLoop.lastFrameTick = GetTickCount();
}

LoopPass EndLoop() {
  if (mainLoop.windowOpen) CloseGameWindow();
  mainLoop.windowOpen = false;
  mainLoop.title.clear();
  mainLoop.title.shrink_to_fit();
  return PassEnded;
}

}  // namespace

bool StartMainLoop() {
  done = false;
  mainLoop.fullScreen = false;
  mainLoop.lastFrameTick = 0;
  mainLoop.windowOpen = OpenGameWindow();
  return mainLoop.windowOpen;
}

LoopPass RunLoopPass() {
  if (done || !mainLoop.windowOpen) return EndLoop();

  if (PeekWindowMessage(mainLoop.message)) {
    if (mainLoop.message.message == WM_QUIT)
      done = true;
    else
      DispatchWindowMessage(mainLoop.message);
    return PassMessage;
  }
  // A context the system took away and gave back: the game makes what it draws
  // with again, in the same world.
  if (TakeRestoredContext()) {
    ResizeView(ViewWidth, ViewHeight);
    SetupContext();
  }
  if (!active) {
    WaitForWindowMessage(0, WaitForMessageOnly);
    return PassIdle;
  }

  LoopPass pass = PassIdle;
  if (FrameDue(GetTickCount(), mainLoop.lastFrameTick)) {
    DrawFrame();
    pass = PassFrame;
  }

  // F1: a new window in the other mode. A failed open has torn down what it
  // built, so there is nothing left to close and the loop ends.
  if (keys[VK_F1]) {
    keys[VK_F1] = false;
    CloseGameWindow();
    mainLoop.fullScreen = !mainLoop.fullScreen;
    mainLoop.windowOpen = OpenGameWindow();
  }
  // The frame and the F1 above have read every press that came before them.
  if (pass == PassFrame) EndInputFrame();

  // Nothing to do until a message comes or the gate opens: the pump may wait
  // for whichever is first.
  if (pass == PassIdle && mainLoop.windowOpen) {
    const uint32_t now = GetTickCount();
    WaitForWindowMessage(now, TimeUntilFrameDue(now, mainLoop.lastFrameTick));
  }
  return pass;
}

bool RunLoopTurn() {
  LoopPass pass;
  do {
    pass = RunLoopPass();
  } while (pass == PassMessage);
  return pass != PassEnded;
}
