// A thread that runs OpenGL calls in the order the game made them. The render
// window's context lives on it (RenderThread.h); the game, its input and its
// loop stay on the main thread, where an OpenGL call only queues. With a
// software renderer a frame's drawing and presentation are mostly waiting for
// the rasterizer and the X server: on this thread they overlap the loop's wait
// for the next frame instead of adding to it.
//
// Nothing here knows the window system: the thread runs the calls against the
// table it is given (the system's OpenGL, or a test's recording table).
#pragma once

#include <cstdint>

#include "gl11/GlTable.h"

// The ring of queued commands: a play frame queues about 200 KB.
constexpr uint64_t RenderRingBytes = uint64_t(1) << 20;

// Starts the thread, whose calls go to `target`. `ringBytes` (a multiple of 16,
// at least 4096, at most RenderRingBytes) is the size of the ring it reads;
// tests take a small one to reach its end quickly. False when no thread could
// be started.
bool StartRenderQueue(const GlTable* target, uint64_t ringBytes = RenderRingBytes);
// Runs everything queued, then ends the thread. Nothing to do when none runs.
void StopRenderQueue();
bool RenderQueueRunning();

// The table whose calls queue for the thread. A call that hands nothing back
// returns at once; one that returns a value or reads or writes memory through a
// pointer waits until it has run, except glColor3fv and glCallLists, whose
// arrays are copied into the queue. While no thread runs, calls do nothing (and
// return zero), as calls without a current context do.
GlTable QueuedGlTable();

// Runs `work` on the thread after everything queued before it, and waits.
void RunOnRenderThread(void (*work)());
// Queues `present` and waits only until the presentation before it has run, so
// the loop is never more than one frame ahead of the screen.
void PresentOnRenderThread(void (*present)());
