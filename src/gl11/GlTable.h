// The one way the game reaches OpenGL: a table with an entry per call of
// GlCalls.h. The drawing code calls glBegin(...) and the other names as usual;
// platform/OpenGL.h maps them onto `glTable`, the installed table, which only
// InstallGlTable changes. Whichever OpenGL serves the calls installs its table,
// in one place each:
//   - the system's OpenGL, looked up by name (FillGlTableFrom): opengl32 on
//     Windows, the render thread's own table on Linux, the offscreen contexts;
//   - the GL 1.1 layer on OpenGL ES 3 / WebGL 2, as it starts (StartGl11,
//     gl11/GL11.h);
//   - the Linux render thread's queue (QueuedGlTable, platform/sdl/RenderQueue.h).
// Before anything is installed, each entry ends the program naming its call: a
// frame cannot silently go blank because nothing serves it.
#pragma once

#include "gl11/GlCalls.h"

// The system's calling convention for OpenGL entry points.
#ifdef _WIN32
#define QUARN_GLAPI __stdcall
#else
#define QUARN_GLAPI
#endif

struct GlTable {
#define QUARN_GL_TABLE_ENTRY(Result, Name, Parameters, Arguments) Result(QUARN_GLAPI* Name) Parameters;
  QUARN_GL_CALLS(QUARN_GL_TABLE_ENTRY)
#undef QUARN_GL_TABLE_ENTRY
};

// The installed table, read-only: every gl* call of the drawing code goes
// through it.
extern const GlTable& glTable;

// Makes `table` the installed one and returns the one it replaces, so whoever
// swaps tables for a while (a test) puts the previous one back with the same call.
GlTable InstallGlTable(const GlTable& table);

// Looks an entry point up by its name ("glBegin"); null when there is none.
using GlLookup = void* (*)(const char* name);

// Fills `table` from a system's OpenGL. False when a call is missing: `table`
// is then unchanged and `missing` (if given) names the call.
bool FillGlTableFrom(GlTable& table, GlLookup lookup, const char** missing = nullptr);
