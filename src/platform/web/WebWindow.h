// The browser game "window": a canvas the open makes inside the page's game
// box and the close removes, with its WebGL 2 context. Handles are empty while
// it is closed.
//   window class        -> the page's game box (#quarn), which must be there
//   display-mode change -> the Fullscreen API on the game box; the view is
//                          shown as large as the screen takes it, its aspect kept
//   device context      -> the canvas's selector
//   pixel format        -> WebGL 2 with a depth buffer
//   WGL context         -> emscripten_webgl_create_context / _make_context_current
#pragma once

#include <cstdint>

#include "platform/RenderWindow.h"

extern int32_t canvasNumber;   // the canvas's number (its id is "quarn-canvas-<n>"), 0 while closed
extern int32_t webglContext;   // the WebGL context, 0 while there is none
extern bool classRegistered;
// The game's client size: the view it draws, into the GL 1.1 layer's frame of
// this size, whatever size the page shows it at (the canvas's drawing buffer).
extern int32_t viewWidth, viewHeight;

// The canvas's CSS selector while a window exists, "" otherwise.
extern char canvasSelector[48];

// Message boxes up now. While one is, the page runs no pass of the loop and
// key presses go to the box, as to a modal box on the desktop.
extern int32_t openMessageBoxes;

// Hooks the canvas's pointer events up to the platform core (each open: the
// canvas is new).
void WatchCanvasEvents(const char* selector);

// A WebGL 2 context on the canvas `selector` as the game draws: no alpha,
// stencil or antialiasing (the pixels must be the desktop's). An offscreen
// canvas is drawn into straight, with a depth buffer, and read back after the
// turn, so its drawing buffer is kept; the window's only shows the layer's
// frame, which has the depth buffer. 0 when the browser gives none.
int32_t CreateGameContext(const char* selector, bool offscreen);

// The view's size on the page (CSS) and in its canvas's drawing buffer
// (device pixels), from the room the page has (quarnPage.fit).
void UpdateCanvasScale();

// The browser has taken the canvas's WebGL context away and not given it back
// yet: the game is then as an inactive window, drawing nothing.
bool WindowContextLost();

// The browser left full screen by itself (its own Esc, the user): the game
// goes on in the page, and the next F1 goes to full screen again.
void NoteFullScreenChange(bool fullScreenNow);
