// The raw X events SDL sends in front of its own (SDL_SYSWMEVENT), for what SDL
// leaves out on an X server: SDL forgets which keys and buttons are down when
// the window is reopened and then drops their releases as releases of
// something that never went down, and it reports a pointer that leaves as a
// move onto the window's edge. Off X11 no raw events come and none of this acts.
#pragma once

#include <cstdint>

#include "platform/PlatformEvents.h"

struct SDL_SysWMmsg;

// Has SDL send the X events behind its own (called after each start of its
// video subsystem).
void WatchRawWindowEvents();

// Notes the raw event SDL translates next. True, with `out` filled, when it is
// a release the game is owed that SDL will not deliver.
bool PlatformEventFromRawX11(const SDL_SysWMmsg* msg, PlatformEvent& out);

// SDL's own event for the noted raw event has been translated.
void ForgetRawX11Event();

// The SDL event being translated comes from the pointer leaving the window.
bool RawX11EventIsLeave();

// A key went down at `usage`: ties the X keycode of the raw press in front of
// it to that key, for a release only X tells of.
void NoteKeyPressUsage(uint16_t usage);
