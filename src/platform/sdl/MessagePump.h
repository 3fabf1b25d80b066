// SDL events in, Win32-numbered messages out (the SDL side of MessageQueue.h).
#pragma once

#include <cstdint>

#include "platform/MessageQueue.h"

// Win32 virtual-key number of an SDL key (keycode and scancode as SDL numbers
// them); 0 for keys the game has no number for.
uint32_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode);
