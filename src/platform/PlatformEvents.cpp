#include "platform/PlatformEvents.h"

#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"

namespace {

// A full queue drops what comes next, as a full Win32 queue does.
constexpr int32_t QueueSize = 1024;
WindowMessage queue[QueueSize];
int32_t queueHead = 0, queueCount = 0;

// The virtual key each held key went down as, by usage (0: not held), so that
// a key goes up, and repeats, as the key it went down as, whatever NumLock did
// meanwhile.
uint8_t heldKeys[UsageCount];
// The left button as the backend has reported it, and the finger that is the
// button while it touches (Mouse for none).
bool buttonHeld = false;
int32_t buttonFinger = Mouse;

constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;

void Queue(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_MOUSEMOVE && queueCount > 0) {
    WindowMessage& last = queue[(queueHead + queueCount - 1) % QueueSize];
    if (last.message == WM_MOUSEMOVE) {
      last = WindowMessage{window, message, wParam, lParam};
      return;
    }
  }
  if (queueCount == QueueSize) return;
  queue[(queueHead + queueCount) % QueueSize] = WindowMessage{window, message, wParam, lParam};
  ++queueCount;
}

void QueueKey(WindowHandle window, uint32_t virtualKey, bool down, bool repeat, bool altHeld) {
  const bool system = IsSystemKey(virtualKey, altHeld);
  const uint32_t message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  Queue(window, message, virtualKey, KeyLParam(down, repeat));
}

void PostKey(const PlatformEvent& event) {
  const bool down = event.kind == KeyPressed;
  uint32_t virtualKey = event.usage < UsageCount ? heldKeys[event.usage] : 0;
  if (virtualKey == 0) virtualKey = VirtualKeyOf(event.usage, event.character);
  if (virtualKey == 0) return;
  if (event.usage < UsageCount) heldKeys[event.usage] = down ? uint8_t(virtualKey) : 0;
  QueueKey(event.window, virtualKey, down, down && event.repeat, event.altHeld);
}

// One finger at a time is the left button, at its place; other fingers are not
// seen. The mouse is always heard.
void PostButton(const PlatformEvent& event) {
  const intptr_t where = MakeLParam(uint32_t(event.x), uint32_t(event.y));
  const bool finger = event.finger != Mouse;
  if (event.kind == ButtonPressed) {
    if (finger) {
      if (buttonFinger != Mouse) return;
      buttonFinger = event.finger;
      Queue(event.window, WM_MOUSEMOVE, 0, where);
    }
    buttonHeld = true;
    Queue(event.window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    return;
  }
  if (finger && event.finger != buttonFinger) return;
  buttonFinger = Mouse;
  buttonHeld = false;
  Queue(event.window, WM_LBUTTONUP, 0, where);
}

}  // namespace

void PostPlatformEvent(const PlatformEvent& event) {
  switch (event.kind) {
    case KeyPressed:
    case KeyReleased:
      PostKey(event);
      return;
    case ButtonPressed:
    case ButtonReleased:
      PostButton(event);
      return;
    case PointerMoved:
      if (event.finger != Mouse && event.finger != buttonFinger) return;
      Queue(event.window, WM_MOUSEMOVE, event.buttonHeld ? MK_LBUTTON : 0,
            MakeLParam(uint32_t(event.x), uint32_t(event.y)));
      return;
    case FocusGained:
    case FocusLost:
      // The game has one window: its focus is the application's activation.
      Queue(event.window, WM_ACTIVATEAPP, event.kind == FocusGained ? 1 : 0, 0);
      return;
    case Resized: {
      const bool minimised = event.x == 0 && event.y == 0;
      Queue(event.window, WM_SIZE, minimised ? SIZE_MINIMIZED : SIZE_RESTORED,
            MakeLParam(uint32_t(event.x), uint32_t(event.y)));
      return;
    }
    case CloseRequested:
      Queue(event.window, WM_CLOSE, 0, 0);
      return;
  }
}

void ReleaseHeldInput() {
  for (uint8_t& virtualKey : heldKeys) {
    if (virtualKey != 0) QueueKey(nullptr, virtualKey, false, false, false);
    virtualKey = 0;
  }
  if (buttonHeld) Queue(nullptr, WM_LBUTTONUP, 0, 0);
  buttonHeld = false;
  buttonFinger = Mouse;
}

bool KeyHeld(uint16_t usage) { return usage < UsageCount && heldKeys[usage] != 0; }

bool TakeQueuedMessage(WindowMessage& message) {
  if (queueCount == 0) return false;
  message = queue[queueHead];
  queueHead = (queueHead + 1) % QueueSize;
  --queueCount;
  return true;
}

void ResetPlatformEvents() {
  queueHead = queueCount = 0;
  for (uint8_t& virtualKey : heldKeys) virtualKey = 0;
  buttonHeld = false;
  buttonFinger = Mouse;
}

// --- The main loop's side (MessageQueue.h) ---

bool PeekWindowMessage(WindowMessage& message) {
  if (TakeQueuedMessage(message)) return true;
  while (PumpNativeEvent())
    if (TakeQueuedMessage(message)) return true;
  if (TakeQueuedMessage(message)) return true;
  // A posted quit comes back once nothing else is queued, as on Win32.
  if (!quitPosted) return false;
  quitPosted = false;
  message = WindowMessage{nullptr, WM_QUIT, uintptr_t(quitExitCode), 0};
  return true;
}

intptr_t DispatchWindowMessage(const WindowMessage& message) {
  return WindowProc(message.window, message.message, message.wParam, message.lParam);
}
