// A hang-up, an interrupt or a terminate request is a close request like the
// close box's, so the game ends through its normal close (which also gives
// the desktop its display mode back). The handler only raises a flag and
// wakes a wait for messages through a pipe.
#pragma once

// Installs the handlers (once, at start-up), instead of SDL's, which go away
// whenever the window is closed.
void CatchCloseSignals();

// Whether a close signal came that is not yet a message.
bool CloseSignalPending();
// Takes it: true once per signal.
bool TakeCloseSignal();

// The pipe's read end, for a wait to watch (-1 without one), and emptying it
// after a wait it ended.
int CloseSignalPipe();
void DrainCloseSignalPipe();
