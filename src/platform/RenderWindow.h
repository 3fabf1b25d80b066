// The game window with its OpenGL context.
#pragma once

#include <cstdint>

struct SDL_Window;

// The handles of the open window, all empty while it is closed: the window, its
// SDL window id (the handle its events and drawing go by), the OpenGL context,
// and whether the open started SDL's video subsystem (which stands in for the
// registered window class).
extern SDL_Window* hWnd;
extern uint32_t hDC;
extern void* hRC;
extern bool videoStarted;

// Opens the window (windowed or full screen), makes its context current, sets the
// view and runs SetupGame. False after the failure has been shown and undone.
bool OpenRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits);
// Tears down whatever the open built; `fullScreen` says whether to restore the display mode.
void CloseRenderWindow(bool fullScreen);
// Viewport and y-down projection for a client size in pixels.
void ResizeView(int32_t width, int32_t height);

// Shows the frame drawn into the back buffer.
void PresentFrame();
// Replaces the window's title.
void SetWindowTitle(const char* title);
