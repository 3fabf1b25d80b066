// The entry and the main loop: one thread that polls the message queue, hands
// each message to the window procedure, and draws a frame of the current screen
// whenever the queue is empty, the game is active and more than 10 ms have
// passed since the last frame was presented. It never sleeps.
#include <cstdlib>
#include <string>

#include "assets/UTypes.h"
#include "game/FramePacing.h"
#include "game/SeedSetting.h"
#include "platform/InputState.h"
#include "platform/MessageQueue.h"
#include "platform/RenderWindow.h"
#include "platform/Ticks.h"
#include "screens/Screens.h"
#include "world/GameState.h"

int main() {
  StartPlatform();
  ApplySeedSetting(std::getenv("QUARN_SEED"));

  done = false;
  bool fullScreen = false;
  uint32_t lastFrameTick = 0;
  std::string title;
  WindowMessage message = {};

  if (!OpenRenderWindow(800, 600, fullScreen, 32)) return 0;

  while (!done) {
    // At most one message per pass: the queue is drained before a frame is considered.
    if (PeekWindowMessage(message)) {
      if (message.message == WM_QUIT)
        done = true;
      else
        DispatchWindowMessage(message);
      continue;
    }
    if (!active) continue;

    if (FrameDue(GetTickCount(), lastFrameTick)) {
      uint32_t frameTick = GetTickCount();
      ++frameCount;
      switch (screen) {
        case ScreenMenu: DrawMenu(); break;
        case ScreenPlay: PlayFrame(); break;
        case ScreenCraft: CraftFrame(); break;
        default: break;
      }
      PresentFrame();

      int32_t elapsed = 0;
      if (FpsUpdateDue(frameTick, lastFpsTick, elapsed)) {
        fps = MeasureFps(frameCount, elapsed);
        title = " [ FPS - " + IntToText(fps) + " ] ";
        SetWindowTitle(title.c_str());
        lastFpsTick = frameTick;
        frameCount = 0;
      }
      // Taken after the swap and the title, so the gate counts from the presented frame.
      lastFrameTick = GetTickCount();
    }

    // F1: a new window in the other mode. A failed open has torn down what it
    // built, so there is nothing left to close.
    if (keys[VK_F1]) {
      keys[VK_F1] = false;
      CloseRenderWindow(fullScreen);
      fullScreen = !fullScreen;
      if (!OpenRenderWindow(800, 600, fullScreen, 32)) return 0;
    }
  }

  CloseRenderWindow(fullScreen);
  return 0;
}
