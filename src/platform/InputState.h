// What the window has told us about the keyboard and the mouse. The window
// procedure records; the screens read and, by clearing an entry, consume.
#pragma once

#include <cstdint>

#include "platform/VirtualKeys.h"

// Defined in this order in InputState.cpp; all zero at start.
extern int32_t mouseX;   // client pixels, origin top-left
extern int32_t mouseY;   // y grows downward
extern bool mouseDown;   // left-button latch
extern bool done;        // ends the main loop
extern bool active;      // frames are drawn only while the game is the active application
extern bool keys[256];   // indexed by Win32 virtual-key code

// A press and its release can both wait in the queue (a tap on a touchpad or a
// touch screen, a key from a remote desktop or an on-screen keyboard, any short
// press while frames are slow), and every waiting message is handled before a
// frame: the release would take the press back before any screen saw it. So a
// release that comes before a frame has seen its press waits for the end of
// that frame. Held presses are unaffected.
struct QuickPresses {
  bool buttonUnseen;         // the button went down since the last frame
  bool buttonReleaseWaiting; // and came up again meanwhile
  bool keyUnseen[256];
  bool keyReleaseWaiting[256];
};
extern QuickPresses quickPresses;

// The pass that considered the frame just drawn is over (its frame has read
// the keys and the button, and the loop has read F1): waiting releases take
// effect now. Called once after every frame.
void EndInputFrame();

// Waiting releases take effect at once: the game is no longer the active
// application, and nothing it would draw could see them.
void ApplyWaitingReleases();

// Back to the all-zero start (tools and tests).
void ResetInputState();
