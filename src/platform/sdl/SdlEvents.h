// SDL events into the platform core's events (PlatformEvents.h). Only the
// translation: the core makes the messages.
#pragma once

#include <cstdint>

#include "platform/PlatformEvents.h"

union SDL_Event;
struct SDL_Window;

// The core's event for one SDL event; false for events the game has no use
// for (other buttons, keys and window events, a pointer SDL clamped to the
// window's edge, a button outside the client area).
bool PlatformEventFromSdl(const SDL_Event& event, PlatformEvent& out);

// What an SDL key types now, as the core wants it (Keyboard.h): a letter or
// digit of the layout, the keypad's digits and point while NumLock is on and
// Shift does not swap them; 0 otherwise.
char CharacterOfSdlKey(int32_t keycode, int32_t scancode, uint16_t mod);

// The SDL window id of the last event that named one (0 for none yet): its
// display connection is what a wait for messages watches.
uint32_t LastEventWindowId();

// Whether (x, y) lies in the window's client area: an uncaptured Win32 window
// hears buttons only there.
bool InsideClientArea(SDL_Window* window, int32_t x, int32_t y);
