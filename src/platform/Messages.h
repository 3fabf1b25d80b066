// Message boxes and fatal errors. The game shows modal boxes; tools and tests
// route the same texts to stderr or a capture instead.
#pragma once

#include <cstdint>

// The Win32 box styles (macros of the same values where <windows.h> came first).
#ifndef MB_OK
constexpr uint32_t MB_OK = 0x0;
constexpr uint32_t MB_ICONERROR = 0x10;
#endif

// Where boxes go. Unset: "Error: <text>" on stderr (caption first), and the
// program carries on as after a dismissed box.
extern void (*messageBoxHook)(const char* text, const char* caption, uint32_t style);

void ShowMessageBox(const char* text, const char* caption, uint32_t style);

// "Runtime error     at 00000000" with the code right-aligned before " at " and
// the failing place in hexadecimal over the zeros from the right.
void FormatRuntimeError(int32_t code, uint32_t place, char out[32]);

// Shows the runtime error box and ends the process with `code` as exit status.
[[noreturn]] void RuntimeError(int32_t code, uint32_t place);
