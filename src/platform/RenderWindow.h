// The game window with its OpenGL context. Each system has its own backend
// (sdl/ on Linux, win32/ on Windows) behind these calls.
#pragma once

#include <cstdint>

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
