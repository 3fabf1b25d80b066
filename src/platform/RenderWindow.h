// The game window with its OpenGL context. Each system has its own backend
// (sdl/ on Linux, win32/ on Windows, web/ in a page) behind these calls. The
// platform stops at the context: what the game makes in it (the view, its
// textures and font) the game sets up right after the open and frees right
// before the close.
#pragma once

#include <cstdint>

// Opens the window (windowed or full screen), makes its context current and
// shows the window. False after the failure has been shown and undone.
bool OpenRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits);
// Tears down whatever the open built; `fullScreen` says whether to restore the display mode.
void CloseRenderWindow(bool fullScreen);
// True while the window's context is current.
bool RenderContextCurrent();
// True once after the system took the window's context away and gave a new one
// back (a browser page's WebGL context): what the game made in the old one is
// gone, and the game makes it again. Never on the desktop.
bool TakeRestoredContext();

// How every backend's open ends on a failure: the close (with the open's own
// full-screen flag, so the window is gone while the box is up), then the error
// box with `text`. Answers false.
bool FailRenderWindowOpen(const char* text, bool fullScreen);
// Viewport and y-down projection for a client size in pixels.
void ResizeView(int32_t width, int32_t height);

// Shows the frame drawn into the back buffer.
void PresentFrame();
// Replaces the window's title.
void SetWindowTitle(const char* title);
