// The game's message queue and message boxes on top of SDL. Nothing here
// exposes SDL: the main loop sees Win32-numbered WindowMessage records only.
#pragma once

#include <cstdint>

#include "platform/WindowProc.h"

// Messages the window procedure leaves to the default handling: keys pressed
// with Alt held (and F10) arrive as system keys, as on Win32.
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uintptr_t MK_LBUTTON = 0x0001;

// Takes at most one message and never waits. Events without a message of their
// own are skipped. Once nothing else is queued, a posted quit comes back as
// WM_QUIT (wParam: the exit code) and the posted flag is cleared. False when
// the queue is empty.
bool PeekWindowMessage(WindowMessage& message);

// Delivers a message to WindowProc.
intptr_t DispatchWindowMessage(const WindowMessage& message);

// Win32 virtual-key number of an SDL key (keycode and scancode as SDL numbers
// them); 0 for keys the game has no number for.
uint32_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode);

// A modal box with one OK button (MB_ICONERROR marks it as an error). Where no
// box can be shown, "<caption>: <text>" goes to stderr and the caller goes on
// as after a dismissed box. Installed as messageBoxHook by the game.
void ShowSystemMessageBox(const char* text, const char* caption, uint32_t style);
