// The GL 1.1 layer's ES half, the only code that calls OpenGL ES, and the
// values it is handed: EsBackend.cpp, what the game's calls draw with, and
// EsFrame.cpp, the frame of the layer's own that a page shows scaled. It knows
// nothing of the layer's context, lists or images: each call is given what it
// needs. What it keeps is its own: the ES objects it made and the ES state it
// last set, so a draw sets only what differs. Its calls are made only between
// EsStart and EsStop (the frame's: around them), with the ES context current.
// Private to the layer.
#pragma once

#include "gl11/GlTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gl11 {

// The blend enable and function: what GL_COLOR_BUFFER_BIT saves besides the
// clear colour.
struct BlendState {
  bool on;
  GLenum src, dst;
};

// The fixed-function state an ES draw is made under. Kept as one value by the
// context, each queued draw and the ES half, so it is copied and compared whole.
struct RasterState {
  BlendState blend;
  bool depthTest, cullFace;
  GLint viewport[4];
};

inline bool operator==(const BlendState& a, const BlendState& b) {
  return a.on == b.on && a.src == b.src && a.dst == b.dst;
}
inline bool operator==(const RasterState& a, const RasterState& b) {
  return a.blend == b.blend && a.depthTest == b.depthTest && a.cullFace == b.cullFace &&
         std::memcmp(a.viewport, b.viewport, sizeof a.viewport) == 0;
}
inline bool operator!=(const RasterState& a, const RasterState& b) { return !(a == b); }

// The default texture as a draw samples it: the image in force (an index into
// the layer's images, -1 for none), that image's ES texture (0 for none, or
// while the layer is not started) and the filters. The wraps are always
// GL_REPEAT. The ES texture follows the image, so comparing images is enough.
struct TextureState {
  int image;
  GLuint esTexture;
  GLint minFilter, magFilter;
};

inline bool operator==(const TextureState& a, const TextureState& b) {
  return a.image == b.image && a.minFilter == b.minFilter && a.magFilter == b.magFilter;
}
inline bool operator!=(const TextureState& a, const TextureState& b) { return !(a == b); }

// A triangle corner as the shader takes it: clip position, colour, texture
// coordinate, and whether its primitive is textured.
struct BatchVertex {
  float position[4];
  float colour[4];
  float texCoord[2];
  float textured;
};

// A queued clear, or a queued draw of triangles.
struct Pass {
  bool clear;
  GLbitfield clearMask;
  float clearColour[4];
  RasterState raster;
  bool textured;         // whether any of its triangles is
  TextureState texture;  // meaningful only when textured
  float bounds[4];       // window x0, y0, x1, y1 of its triangles, widened by a pixel
  std::vector<BatchVertex> corners;
};

// In an ES 3 context just made current: makes the program, vertex array,
// buffer and sampler, and puts ES in the given state: `raster`, the sampler's
// filters from `texture`, `clearColour`, no texture bound. The viewport is the
// one exception: ES keeps the context's own, which is written into
// raster.viewport. On failure (no ES 3: a shader does not compile, the program
// does not link) nothing is left made and `error`, when given, has a one-line
// reason.
bool EsStart(RasterState& raster, const TextureState& texture, const float clearColour[4], char* error, int errorSize);
// Deletes what EsStart made (not the image textures: EsDeleteTexture).
void EsStop();
// A program of the two shaders' sources; 0 with a one-line reason in `error`
// when one does not compile or the program does not link.
GLuint EsLinkProgram(const char* vertexSource, const char* fragmentSource, char* error, int errorSize);
// After another program drew (the frame shown): the layer's program, vertex
// array, capabilities and viewport are ES's again, as last set.
void EsResume();

// --- EsFrame.cpp: the frame of the layer's own ---
// Before EsStart: a framebuffer of width x height with a colour texture and a
// 16-bit depth buffer, bound for drawing and reading, and the viewport on it
// whole (what EsStart then takes as the context's own). False, with a reason,
// when ES cannot make it.
bool EsFrameStart(GLsizei width, GLsizei height, char* error, int errorSize);
// Deletes the frame, if there is one; the layer then draws where the context does.
void EsFrameStop();
// Draws the frame into the context's own framebuffer at width x height pixels,
// each having the frame's colours in the shares of its area they cover.
void EsFrameShow(GLsizei width, GLsizei height);
// Draws the queued passes, all their corners in one upload.
void EsDraw(const Pass* passes, size_t count);
// A new ES texture holding `rgba` (bottom row first, no padding), bound.
GLuint EsNewTexture(int32_t width, int32_t height, const uint8_t* rgba);
void EsDeleteTexture(GLuint texture);
// RGBA bytes, bottom row first, without padding.
void EsReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, uint8_t* rgba);
GLenum EsError();
void EsFlush(bool finish);

}  // namespace gl11
