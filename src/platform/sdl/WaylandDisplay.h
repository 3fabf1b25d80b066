// What SDL leaves out when it draws the game on a Wayland compositor: the
// connection for the wait between frames to watch, and ending the game when
// the compositor goes away, as it ends when the X server does. Off Wayland
// none of this acts. Only WaylandDisplay.cpp includes Wayland's headers.
#pragma once

struct SDL_Window;

// Every open, once SDL has made the window: true when SDL draws it on Wayland,
// whose connection is then kept for the calls below. Every close forgets it
// before SDL's video subsystem ends (which disconnects).
bool NoteWindowCompositor(SDL_Window* window);
void ForgetWindowCompositor();

// True while the window is on Wayland: `fd` is then the connection's
// descriptor, and `queued` whether events were read off it already and wait in
// its queue (a wait must not sleep on them). Requests the game made so far are
// sent first, so nothing the compositor is owed waits behind the sleep.
bool WaylandConnection(int& fd, bool& queued);

// When the connection to the compositor has broken, ends the process as a lost
// X server does (EndForLostDisplay, X11Display.h). SDL itself only asks the
// game to quit, which would end it as the close box does. Nothing happens off
// Wayland or on a sound connection.
void EndIfCompositorLost();
