// The render window's OpenGL context lives on a thread of its own, and every
// OpenGL call the game makes runs there, in the order the game made it: the
// calls the game makes on the main thread only queue them. With a software
// renderer a frame's drawing and its presentation take milliseconds of waiting
// for the rasterizer and the X server; on this thread they overlap the main
// loop's wait for the next frame instead of adding to it. The game, its input
// and the loop stay on the main thread; only OpenGL moves.
//
// While no render thread runs, the game's OpenGL calls do nothing, as they do
// on a thread without a current context.
#pragma once

struct SDL_Window;

// Starts the thread for `window` (which must have been made for OpenGL). False
// when it cannot be started or the OpenGL library lacks a call the game makes;
// the SDL error says why.
bool StartRenderThread(SDL_Window* window);
// Runs everything queued, then ends the thread. Nothing to do when none runs.
void StopRenderThread();

// The context calls of the SDL window layer, run on the render thread; each
// waits for its result. On failure the SDL error (of the calling thread) says why.
void* CreateRenderContext();
bool MakeRenderContextCurrent(void* context);  // also turns off vsync: the frame gate alone paces
bool ReleaseRenderContext();
void DeleteRenderContext(void* context);
// True while a context is current on the render thread.
bool RenderContextCurrent();

// Queues the presentation of the frame drawn so far and returns; waits only
// while the frame before it is still being drawn or presented, so the game is
// never more than one frame ahead of the screen.
void PresentOnRenderThread();
