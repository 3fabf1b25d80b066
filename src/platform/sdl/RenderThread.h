// The render window's OpenGL context lives on the render thread (RenderQueue.h),
// and the game's OpenGL table queues every call for it; the context calls of
// the SDL window layer run there too.
#pragma once

#include "platform/sdl/RenderGl.h"

struct SDL_Window;

// Starts the thread for `window` (which must have been made for OpenGL), with
// `gl` behind it, and points the game's OpenGL table at its queue. False when
// it cannot be started or the OpenGL library lacks a call the game makes; the
// SDL error says why.
bool StartRenderThread(SDL_Window* window, RenderGl gl);
// Runs everything queued, then ends the thread. Nothing to do when none runs.
void StopRenderThread();

// The context calls, run on the render thread; each waits for its result. On
// failure the SDL error (of the calling thread) says why.
void* CreateRenderContext();
// Also turns off vsync (the frame gate alone paces) and, for the layer, starts
// it in the context; a layer that does not start (no ES 3) fails the call.
bool MakeRenderContextCurrent(void* context);
bool ReleaseRenderContext();  // the layer stops first, with the context still current
void DeleteRenderContext(void* context);

// Queues the presentation of the frame drawn so far and returns; waits only
// while the frame before it is still being drawn or presented, so the game is
// never more than one frame ahead of the screen.
void PresentWindowFrame();
