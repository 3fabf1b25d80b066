// An OpenGL compatibility context without any window or X server (EGL on Mesa's
// surfaceless platform, drawing into a pbuffer). Used by the render tests and by
// the replay tool's full mode.
#pragma once

#include <cstdint>

// Makes a width x height context current. On failure returns false and leaves a
// one-line reason in `error`.
bool CreateOffscreenContext(int32_t width, int32_t height, char* error, int errorSize);
void DestroyOffscreenContext();
bool OffscreenContextCurrent();
