// The main loop, cut into passes so that every build runs the same loop: the
// desktop builds call turns in a `while`, the browser calls one turn per
// display frame because a page must never be blocked.
//
// A pass either hands one waiting message to the window procedure or, when the
// queue is empty and the game is active, draws a frame of the current screen if
// more than 10 ms have passed since the last one was presented; then it acts on
// F1. A pass that did neither lets the platform wait for the next message, at
// most until the gate opens (MessageQueue.h); nothing else waits.
#pragma once

#include <cstdint>
#include <string>

#include "platform/WindowProc.h"

// What one pass did.
enum LoopPass : int32_t {
  PassMessage = 0,  // took a message (or WM_QUIT); the queue may hold more
  PassIdle = 1,     // found the queue empty and drew nothing
  PassFrame = 2,    // found the queue empty and drew a frame
  PassEnded = 3,    // the loop is over; no pass runs after this one
};

// The loop's own state, which lives as long as the process.
struct MainLoopState {
  bool fullScreen;         // flipped by every F1
  uint32_t lastFrameTick;  // taken after the previous frame was presented
  std::string title;       // " [ FPS - n ] " of the last frame-rate update
  WindowMessage message;   // the one record every take of a message reuses
  bool windowOpen;         // false once a reopen failed: nothing left to close
};
extern MainLoopState mainLoop;

// Start-up: resets the loop's state and opens the 800 x 600 window. False when
// the open failed (it has shown why); the program then ends with status 0.
bool StartMainLoop();

// One pass. Once `done` is set (WM_QUIT, the menu's exit) or a reopen after F1
// failed, it closes what is open and answers PassEnded, and so does every later
// call.
LoopPass RunLoopPass();

// Passes up to and including the first that finds the queue empty: every
// message that was waiting is handled before a frame is considered. False once
// the loop has ended.
bool RunLoopTurn();
