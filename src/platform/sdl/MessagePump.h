// SDL events in, Win32-numbered messages out (the SDL side of MessageQueue.h).
#pragma once

#include <cstdint>

#include "platform/MessageQueue.h"

// Win32 virtual-key number of an SDL key (keycode, scancode and modifier state
// as SDL gives them; the keypad depends on NumLock and Shift); 0 for keys the
// game has no number for.
uint32_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode, uint16_t mod);

// Has SDL send the X events behind its own (called after each start of its
// video subsystem), so the pump can tell real pointer moves from clamped ones
// and deliver releases SDL drops.
void WatchRawWindowEvents();
