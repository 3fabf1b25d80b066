// The SDL game window's handles, all empty while it is closed.
#pragma once

#include <cstdint>

#include "platform/RenderWindow.h"

struct SDL_Window;

// The window, its SDL window id (the handle its events and drawing go by), the
// OpenGL context, and whether the open started SDL's video subsystem (which
// stands in for the registered window class).
extern SDL_Window* hWnd;
extern uint32_t hDC;
extern void* hRC;
extern bool videoStarted;
