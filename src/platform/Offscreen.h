// An OpenGL context without any window or X server (EGL on Mesa's surfaceless
// platform, drawing into a pbuffer), for the render tests, the replay tool's
// full mode and the tools that draw. It fills the OpenGL table with what it
// draws through: the system's desktop OpenGL (a compatibility context), or the
// GL 1.1 layer in an OpenGL ES 3 context, so the same drawing code can be
// drawn both ways and compared. In a page there is only the layer, on WebGL 2.
#pragma once

#include <cstdint>

enum OffscreenGl : int32_t {
  OffscreenDesktopGl = 0,
  OffscreenGl11Layer = 1,
};

// The kind the environment variable QUARN_OFFSCREEN_GL names, "desktop" or
// "layer": the render tests are run once for each. Unset or anything else:
// desktop OpenGL. (Linux: the render tests' choice.)
OffscreenGl OffscreenGlFromEnvironment();

// Makes a width x height context current and fills the OpenGL table for it. On
// failure returns false and leaves a one-line reason in `error`.
bool CreateOffscreenContext(int32_t width, int32_t height, OffscreenGl kind, char* error, int errorSize);
void DestroyOffscreenContext();
bool OffscreenContextCurrent();

// The current context's width x height colour buffer as an uncompressed 24-bit
// BMP, top of the view at the top of the picture. False (with errno set) when
// the file cannot be written.
bool WriteViewBmp(const char* path, int32_t width, int32_t height);
