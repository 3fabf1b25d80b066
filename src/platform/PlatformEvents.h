// The platform core's side of a backend that has no Win32 messages of its own
// (SDL, the browser page): the backend turns each native event into one
// PlatformEvent and posts it; the core makes the window messages a Win32
// window would have had for it (the key's virtual key and lParam, system keys,
// which key a release belongs to, a finger as the left button), queues them,
// and hands them to the main loop one at a time, WM_QUIT last. The Windows
// backend has the system's own queue and does not use this.
#pragma once

#include <cstdint>

#include "platform/WindowProc.h"

enum PlatformEventKind : uint8_t {
  KeyPressed,      // usage, character, repeat, altHeld
  KeyReleased,     // usage, character, altHeld
  ButtonPressed,   // the left button or a finger: finger, x, y
  ButtonReleased,  // finger, x, y
  PointerMoved,    // finger, x, y, buttonHeld
  FocusGained,     // the game became the active application
  FocusLost,
  Resized,         // x, y: the new client width and height; 0 x 0 is minimised
  CloseRequested,  // the close box, the system's close, a terminate signal
};

constexpr int32_t Mouse = -1;  // the finger of the mouse's own events

struct PlatformEvent {
  PlatformEventKind kind;
  WindowHandle window;  // passed on in the message; may be null
  uint16_t usage;       // keys: the key's place (Keyboard.h)
  char character;       // keys: what it types now (Keyboard.h), 0 for nothing that counts
  bool repeat;          // keys: an auto-repeat of a held key
  bool altHeld;         // keys: Alt is down
  int32_t finger;       // pointer and button: Mouse, or the touch's own identifier
  int32_t x, y;         // pointer and button: client pixels; Resized: the size
  bool buttonHeld;      // pointer: the left button is down
};

// Makes and queues the messages for `event` (none, one, or a move and a press
// for a finger that comes down).
void PostPlatformEvent(const PlatformEvent& event);

// The system will not tell of the releases of what is held now (the page lost
// the focus: they go elsewhere): every held key and the button are released
// here, as the keys they went down as.
void ReleaseHeldInput();

// Whether the key at `usage` is down as far as the core knows.
bool KeyHeld(uint16_t usage);

// Takes the oldest queued message; false when none is queued. Pointer moves
// that come one after another are merged, as Win32 merges them.
bool TakeQueuedMessage(WindowMessage& message);

// Each synthesizing backend: reads at most one native event and posts what it
// makes of it. False when the system has nothing more to give now.
bool PumpNativeEvent();

// Empties the queue and forgets held keys and fingers (tests and tools).
void ResetPlatformEvents();
