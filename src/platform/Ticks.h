#pragma once

#include <cstdint>

// Milliseconds since the system started, wrapping at 2^32.
#ifdef _WIN32
// kernel32's own, declared exactly as <windows.h> declares it, so either header
// may come first.
extern "C" __declspec(dllimport) unsigned long __stdcall GetTickCount(void);
#else
uint32_t GetTickCount();
#endif
