// <GL/gl.h> for the game's drawing code. On Windows the header wants two macros of
// <windows.h> and includes all of it when they are missing; given here, the
// system header stays in the window layer.
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#endif
#if defined(_WIN32) && !defined(WINGDIAPI)
#define WINGDIAPI __declspec(dllimport)
#endif

#include <GL/gl.h>
