// <GL/gl.h> for the game's drawing code. On Windows the header wants two macros of
// <windows.h> and includes all of it when they are missing; given here, the
// system header stays in the window layer. Built with QUARN_GL11_LAYER (anything
// linking quarn_gl11), the same calls go to the GL 1.1 layer on OpenGL ES instead.
#pragma once

#ifdef QUARN_GL11_LAYER
#include "gl11/GL11.h"
#else

#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#endif
#if defined(_WIN32) && !defined(WINGDIAPI)
#define WINGDIAPI __declspec(dllimport)
#endif

#include <GL/gl.h>
#endif
