// The Windows side of MessageQueue.h: the thread's own message queue, delivered to
// WindowProc by the system, and the system's message boxes.
#include <windows.h>

#include <float.h>

#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "world/Random.h"

namespace {

// The one message record the loop takes and delivers, reused on every pass.
MSG msg;

intptr_t CallDefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void PostQuit(int32_t exitCode) { PostQuitMessage(exitCode); }

// The seed: the performance counter's low 32 bits, the tick when it cannot be read.
uint32_t SeedClock() {
  LARGE_INTEGER count;
  if (QueryPerformanceCounter(&count)) return uint32_t(uint64_t(count.QuadPart));
  return GetTickCount();
}

}  // namespace

void StartPlatform() {
  // All six exceptions masked, rounding to nearest: a division by zero gives an
  // infinity, which the dig progress relies on. x64 has no precision control
  // (SSE2 rounds every float and double operation to its own type), so the
  // precision bits are left alone: the runtime refuses them there.
  unsigned int word = 0;
  _controlfp_s(&word, _MCW_EM | _RC_NEAR, _MCW_EM | _MCW_RC);

  messageBoxHook = ShowSystemMessageBox;
  defaultWindowProcHook = CallDefWindowProc;
  postQuitMessageHook = PostQuit;
  seedClockHook = SeedClock;
}

bool PeekWindowMessage(WindowMessage& message) {
  if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) return false;
  message.window = msg.hwnd;
  message.message = msg.message;
  message.wParam = msg.wParam;
  message.lParam = msg.lParam;
  return true;
}

// The loop stays a busy PeekMessageA loop here, as the game has always run on
// Windows: the next pass polls at once.
void WaitForWindowMessage(uint32_t, uint32_t) {}

intptr_t DispatchWindowMessage(const WindowMessage&) {
  // The record just taken, with its time and pointer position as the system filled them.
  TranslateMessage(&msg);
  return DispatchMessageA(&msg);
}

void ShowSystemMessageBox(const char* text, const char* caption, uint32_t style) {
  MessageBoxA(NULL, text, caption, style);
}
