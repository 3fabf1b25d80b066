// What the window has told us about the keyboard and the mouse. The window
// procedure records; the screens read and, by clearing an entry, consume.
#pragma once

#include <cstdint>

// Defined in this order in InputState.cpp; all zero at start.
extern int32_t mouseX;   // client pixels, origin top-left
extern int32_t mouseY;   // y grows downward
extern bool mouseDown;   // left-button latch
extern bool done;        // ends the main loop
extern bool active;      // frames are drawn only while the game is the active application
extern bool keys[256];   // indexed by Win32 virtual-key code

// A press and its release can both wait in the queue (a tap on a touchpad or a
// touch screen), and every waiting message is handled before a frame: the
// release would take the press back before any screen saw it. So a release
// that comes before a frame has seen the press waits for the end of that frame.
extern bool buttonPressUnseen;     // the button went down since the last frame
extern bool buttonReleaseWaiting;  // and came up again meanwhile
extern uint32_t inputFramesEnded;  // frames ended so far, for releases a backend holds back itself

// The frame just drawn has seen every message before it: a waiting release
// takes effect now. Called after every frame.
void EndInputFrame();

// Win32 virtual-key codes the game reads. <windows.h> has them as macros with the
// same values; whichever comes first, both orders compile.
#ifndef VK_ESCAPE
constexpr uint32_t VK_ESCAPE = 27;
constexpr uint32_t VK_LEFT = 37;
constexpr uint32_t VK_UP = 38;
constexpr uint32_t VK_RIGHT = 39;
constexpr uint32_t VK_DOWN = 40;
constexpr uint32_t VK_F1 = 112;
#endif

// Back to the all-zero start (tools and tests).
void ResetInputState();
