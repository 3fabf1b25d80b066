// An OpenGL compatibility context without any window or X server (EGL on Mesa's
// surfaceless platform, drawing into a pbuffer). Used by the render tests and by
// the replay tool's full mode. Built with QUARN_GL11_LAYER, it is an OpenGL ES 3
// context instead, with the GL 1.1 layer started in it and stopped before it goes.
#pragma once

#include <cstdint>

// Makes a width x height context current. On failure returns false and leaves a
// one-line reason in `error`.
bool CreateOffscreenContext(int32_t width, int32_t height, char* error, int errorSize);
void DestroyOffscreenContext();
bool OffscreenContextCurrent();

// The current context's width x height colour buffer as an uncompressed 24-bit
// BMP, top of the view at the top of the picture. False (with errno set) when
// the file cannot be written.
bool WriteViewBmp(const char* path, int32_t width, int32_t height);
