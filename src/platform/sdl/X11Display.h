// What SDL leaves out on an X server: telling a missing OpenGL visual apart from
// a failed window, making sure the new window has the focus, and giving the
// desktop its display mode back when the game dies in full screen.
#pragma once

#include <cstdint>

struct SDL_Window;

// True unless the X server is known to have no double-buffered RGBA visual of
// `bits` colour bits with a 16-bit depth buffer (no GLX at all, for one). Other
// video drivers than X11 are not asked: true.
bool GlxVisualAvailable(int32_t bits);

// Whether a window system answers here: an X server that takes a connection,
// or a Wayland compositor's socket.
bool AnyDisplayReachable();

// Waits until the window is viewable, gives it the input focus and checks that
// it has it; false when the server (or a window manager) would not.
bool FocusWindow(SDL_Window* window);

// From now on a broken connection to the display ends the process at once with
// status 1, whichever thread notices it. (Xlib's own ending runs the exit
// handlers on that thread, which can wait forever for the other thread.) The
// display guard gives the desktop its mode back when the game is gone.
void EndWhenDisplayLost();

// Ends the process at once with status 1 and the line "quarn: the connection
// to the display was lost", whichever connection broke (the X server's here,
// a Wayland compositor's in WaylandDisplay.cpp) and whichever thread noticed.
[[noreturn]] void EndForLostDisplay();

// A process that stays beside the game for its whole run and, if the game ends
// without giving the display mode back (a crash, a kill), restores the mode the
// desktop had. Started once, before anything else starts threads.
void StartDisplayGuard();
// Before the game changes the display mode: the guard notes the desktop's (on
// an X server only: a Wayland compositor never lets a client change its mode).
void GuardDisplayMode();
// After the game gave the desktop its mode back.
void ReleaseDisplayGuard();
