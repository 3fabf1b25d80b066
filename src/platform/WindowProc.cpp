#include "platform/WindowProc.h"

#include "platform/InputState.h"

void (*resizeViewHook)(int32_t width, int32_t height) = nullptr;
intptr_t (*defaultWindowProcHook)(WindowHandle, uint32_t, uintptr_t, intptr_t) = nullptr;
void (*postQuitMessageHook)(int32_t exitCode) = nullptr;
bool quitPosted = false;
int32_t quitExitCode = 0;

intptr_t PlatformDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (defaultWindowProcHook) return defaultWindowProcHook(window, message, wParam, lParam);
  return 0;
}

void PlatformPostQuitMessage(int32_t exitCode) {
  if (postQuitMessageHook) {
    postQuitMessageHook(exitCode);
    return;
  }
  quitPosted = true;
  quitExitCode = exitCode;
}

intptr_t QUARN_CALLBACK WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  uint32_t low = uint32_t(uintptr_t(lParam) & 0xFFFFu);
  uint32_t high = uint32_t((uintptr_t(lParam) >> 16) & 0xFFFFu);
  switch (message) {
    case WM_SIZE:
      if (resizeViewHook) resizeViewHook(int32_t(low), int32_t(high));
      return 0;
    case WM_CLOSE:
      // The main loop destroys the window once the quit comes back to it.
      PlatformPostQuitMessage(0);
      return 0;
    case WM_ACTIVATEAPP:
      active = wParam == 1;
      // No frame will see a waiting release before the game is active again:
      // what the player let go of is let go of now.
      if (!active) ApplyWaitingReleases();
      return 0;
    case WM_KEYDOWN:
      if (wParam < 256) {
        keys[wParam] = true;
        quickPresses.keyUnseen[wParam] = true;
        quickPresses.keyReleaseWaiting[wParam] = false;
      }
      return 0;
    case WM_KEYUP:
      // No frame has seen the press yet: it lasts until one has.
      if (wParam < 256) {
        if (quickPresses.keyUnseen[wParam])
          quickPresses.keyReleaseWaiting[wParam] = true;
        else
          keys[wParam] = false;
      }
      return 0;
    case WM_MOUSEMOVE:
      mouseX = int32_t(low);
      mouseY = int32_t(high);
      return 0;
    case WM_LBUTTONDOWN:
      mouseDown = true;
      quickPresses.buttonUnseen = true;
      quickPresses.buttonReleaseWaiting = false;
      return 0;
    case WM_LBUTTONUP:
      if (quickPresses.buttonUnseen)
        quickPresses.buttonReleaseWaiting = true;
      else
        mouseDown = false;
      return 0;
    default:
      return PlatformDefWindowProc(window, message, wParam, lParam);
  }
}
