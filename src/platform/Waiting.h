// What a wait for messages between frames may do, decided apart from the
// system calls that carry it out, so that the rules can be checked without a
// display or a clock. A backend that sleeps (the Linux build) gathers the
// inputs, plans, and then waits on the planned descriptors for at most the
// planned time.
#pragma once

#include <cstdint>

// How early a wait for the gate ends: the wake-up itself takes some time, and
// the loop polls through these last microseconds instead, so a frame never
// starts later than a loop that never slept would start it.
constexpr int64_t WakeEarlyNanoseconds = 300000;
// The longest one wait lasts. Some events are only delivered when the system
// is next asked (SDL holds focus changes back after a display-mode change; an
// event another thread's display call read off the connection is not seen on
// it): they come out at the next poll, at the latest this much later.
constexpr int64_t LongestWaitNanoseconds = 50000000;

struct WaitInputs {
  int64_t now;        // the steady clock in nanoseconds; its milliseconds are the tick
  uint32_t fromTick;  // the loop's request (MessageQueue.h): until fromTick + wait,
  uint32_t wait;      // or WaitForMessageOnly
  int connection;     // the window system's connection to watch, -1 for none
  int signalPipe;     // written by a close signal's handler, -1 for none
  bool closeSignal;       // a close signal came and is not yet a message
  bool quitPosted;        // the loop's own thread posted a quit
  bool eventsQueued;      // the toolkit (SDL) holds events already
  bool connectionQueued;  // the window system's library read events off the connection already
};

struct WaitPlan {
  int64_t sleep;  // nanoseconds; 0: do not sleep, poll again at once
  int watched[2];
  int watchedCount;
};

// Sleeps only with a connection to watch and nothing already waiting, at most
// LongestWaitNanoseconds, and ends WakeEarlyNanoseconds before the tick reads
// fromTick + wait. Watches the connection and the signal pipe.
WaitPlan PlanWait(const WaitInputs& inputs);
