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
