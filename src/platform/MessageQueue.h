// What the main loop needs from the system besides the window: its start-up,
// the message queue and message boxes. Each backend (sdl/, win32/) provides
// these; the loop itself is the same everywhere.
#pragma once

#include <cstdint>

#include "platform/WindowProc.h"

// Before anything else: every floating-point exception masked, rounding to
// nearest, and the message boxes and window-procedure plumbing of the system.
void StartPlatform();

// Takes at most one message and never waits; false when the queue is empty. A
// posted quit comes back as WM_QUIT once nothing else is queued.
bool PeekWindowMessage(WindowMessage& message);

// What the loop does with a pass that found the queue empty and drew nothing:
// waits until a message may have come or the tick reads `fromTick` + `wait`,
// whichever is first, and never past that tick (the frame it would make late
// is due then). With `wait` at WaitForMessageOnly no frame is due at all (the
// game is inactive): only a message ends the wait. The Linux build sleeps; the
// Windows build returns at once and keeps its busy loop; the browser's page
// sleeps between display frames anyway and returns at once too.
constexpr uint32_t WaitForMessageOnly = 0xFFFFFFFFu;
void WaitForWindowMessage(uint32_t fromTick, uint32_t wait);

// The QUARN_SEED setting's text, or null when it is not set: the environment
// variable on the desktop, the page's ?seed= in the browser.
const char* SeedSettingText();

#ifdef __EMSCRIPTEN__
// The browser build only: hands the loop to the page, which calls `turn` once
// per display frame until it answers false, and returns at once.
void RunTurnsEachDisplayFrame(bool (*turn)());
#endif

// Delivers the message just taken to WindowProc.
intptr_t DispatchWindowMessage(const WindowMessage& message);

// A modal box with one OK button (MB_ICONERROR marks it as an error), no owner
// window. Where no box can be shown, "<caption>: <text>" goes to stderr and the
// caller goes on as after a dismissed box. StartPlatform routes ShowMessageBox here.
void ShowSystemMessageBox(const char* text, const char* caption, uint32_t style);
