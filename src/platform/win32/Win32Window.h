// The Win32 game window's handles: process globals, all zero while it is closed.
#pragma once

#include <windows.h>

#include "platform/RenderWindow.h"

extern HWND hWnd;            // the game window
extern HDC hDC;              // its own device context (the class has CS_OWNDC)
extern HGLRC hRC;            // the OpenGL rendering context
extern HINSTANCE hInstance;  // the module, as GetModuleHandleA(NULL) gives it
