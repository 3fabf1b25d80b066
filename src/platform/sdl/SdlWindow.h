// The SDL game window's handles, all empty while it is closed.
#pragma once

#include <cstdint>

#include "platform/RenderWindow.h"

struct SDL_Window;

// What stands for Win32's window, device context and rendering context: the
// SDL window, its id (the handle its events and drawing go by), the OpenGL
// context; and whether the open started SDL's video subsystem (which stands in
// for the registered window class).
extern SDL_Window* gameWindow;
extern uint32_t gameWindowId;
extern void* glContext;
extern bool videoStarted;
