// The GL 1.1 layer's own state and the seams between its files. Private to the
// layer (and its context-free unit tests); the drawing code sees GL11.h only.
//
// One Context holds every GL 1.1 state of the one current context, the display
// lists and images, and the queue of draws waiting for ES. Only EsBackend.cpp
// includes ES headers and calls ES, and only while `started` is true: without
// StartGl11 every state, list, image and batch is still kept, so all but the
// ES half runs and can be tested without any context.
//
// The files: Matrices.cpp (the transform, pure), Batching.cpp (immediate mode,
// triangles and the queue), Lists.cpp (recording and calling display lists),
// Pixels.cpp (images, uploads and read-back), GL11.cpp (the context and the
// state commands), EsBackend.cpp (the ES half).
#pragma once

#include "gl11/GL11.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gl11 {

constexpr int kMatrixDepth = 32;
constexpr int kAttribDepth = 16;
constexpr int kListNesting = 64;

// Column-major, as GL keeps them.
struct Matrix {
  float m[16];
};

// The blend enable and function: what GL_COLOR_BUFFER_BIT saves besides the
// clear colour.
struct BlendState {
  bool on;
  GLenum src, dst;
};

// The fixed-function state an ES draw is made under. Kept as one value by the
// context, each queued draw and the ES cache, so it is copied and compared whole.
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
// Context::images, -1 for none) and its filters. The wraps are always GL_REPEAT.
struct TextureState {
  int image;
  GLint minFilter, magFilter;
};

inline bool operator==(const TextureState& a, const TextureState& b) {
  return a.image == b.image && a.minFilter == b.minFilter && a.magFilter == b.magFilter;
}
inline bool operator!=(const TextureState& a, const TextureState& b) { return !(a == b); }

// An uploaded image: RGBA bytes bottom row first, as GL keeps level 0, and its ES
// texture (0 while the layer is not started). Held by the lists that recorded it
// and by the default texture while it is the image in force.
struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;
  GLuint texture = 0;
  int refs = 0;
  bool live = false;
};

enum class Op : uint8_t {
  Begin, End, Vertex, TexCoord, Color, Enable, Disable, BlendFunc, ClearColor, Clear, Viewport, PushAttrib,
  PopAttrib, MatrixMode, LoadIdentity, PushMatrix, PopMatrix, Ortho, Translate, Scale, CallList, ListBase,
  TexImage, TexParameter, Error
};

// One command, run at once or recorded in a list. u[] holds enums, names and
// integers, f[] floats.
struct Command {
  Op op;
  uint32_t u[4];
  float f[6];
};

struct List {
  bool exists = false;
  std::vector<Command> commands;
};

// glPushAttrib(GL_COLOR_BUFFER_BIT)'s frame.
struct AttribFrame {
  BlendState blend;
  float clearColour[4];
};

// A vertex of the primitive between glBegin and glEnd: clip position and the
// current colour and texture coordinate it was given with.
struct PrimVertex {
  float position[4];
  float colour[4];
  float texCoord[2];
};

// A triangle corner as the shader takes it: a PrimVertex and whether its
// primitive is textured.
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

struct Context {
  bool started = false;  // an ES context with the layer's objects in it
  GLenum error = GL_NO_ERROR;

  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float texCoord[2] = {0.0f, 0.0f};
  bool texture2d = false;
  RasterState raster = {{false, GL_ONE, GL_ZERO}, false, false, {0, 0, 0, 0}};
  float clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  GLint unpackAlignment = 4, packAlignment = 4;

  GLenum matrixMode = GL_MODELVIEW;
  Matrix modelview[kMatrixDepth], projection[kMatrixDepth];  // [0] set to identity by ResetState
  int modelviewTop = 0, projectionTop = 0;
  Matrix mvp;
  bool mvpDirty = true;

  AttribFrame attribStack[kAttribDepth];
  int attribTop = -1;

  std::vector<List> lists;  // indexed by name; 0 is never a list
  GLuint listBase = 0;
  bool compiling = false;
  GLuint compileName = 0;
  std::vector<Command> compileCommands;
  int callDepth = 0;

  std::vector<Image> images;
  TextureState texture = {-1, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR};

  bool inBegin = false;
  GLenum primMode = GL_QUADS;
  std::vector<PrimVertex> prim;

  std::vector<Pass> passes;  // the first passCount are queued; the rest keep their storage
  size_t passCount = 0;
  size_t queuedCorners = 0;
  std::vector<BatchVertex> triangles;  // the primitive being queued
};

extern Context context;

// --- GL11.cpp: the context and the state commands ---
void SetError(GLenum e);
// Every state to GL's initial value; no lists, no images, nothing queued.
void ResetState();
// Runs one command, whether it comes from a list or straight from the caller.
void Run(const Command& c);
// Projection x modelview, recomputed only after a change.
const Matrix& Mvp();

// --- Matrices.cpp: pure, in single precision and in Mesa's order ---
void Identity(Matrix& a);
// product = a x b; product may be a or b.
void Multiply(Matrix& product, const Matrix& a, const Matrix& b);
// m = m x the glOrtho matrix of the box (which must not be empty).
void MultiplyOrtho(Matrix& m, float left, float right, float bottom, float top, float zNear, float zFar);
void Translate(Matrix& m, float x, float y, float z);
void Scale(Matrix& m, float x, float y, float z);
// The clip position of vertex (x, y, 0, 1).
void Transform(const Matrix& m, float x, float y, float clip[4]);

// --- Batching.cpp: immediate mode and the queue ---
void BeginPrimitive(GLenum mode);
void AddVertex(float x, float y);
// Triangulates the primitive and queues it, in a draw of its own or one it may join.
void EndPrimitive();
// A clear of the colour and/or depth buffer: the queue goes first.
void QueueClear(GLbitfield mask);
// Sends what is queued to ES (drops it when the layer is not started).
void FlushQueue();

// --- Lists.cpp ---
Command Make(Op op, uint32_t u0 = 0, uint32_t u1 = 0);
Command MakeF(Op op, float f0, float f1 = 0.0f, float f2 = 0.0f, float f3 = 0.0f);
// Records the command into the list being compiled, or runs it.
void Submit(const Command& c);
void CallList(GLuint name);
// Drops a list's commands and what they hold.
void ReleaseCommands(std::vector<Command>& commands);

// --- Pixels.cpp ---
void Retain(int image);
void Release(int image);
// The image the default texture now holds (a recorded upload running).
void BindImage(int image);
void SetTexParameter(GLenum pname, GLint param);
// Whether draws sample the default texture: an image, and a filter that needs no mipmaps.
bool TextureComplete();
// RGBA bytes, rows without padding, into `pixels` as `format` (GL_RGB or GL_RGBA)
// with rows padded to the GL_PACK_ALIGNMENT.
void WritePixels(const uint8_t* rgba, GLsizei width, GLsizei height, GLenum format, GLvoid* pixels);

// --- EsBackend.cpp: called only while context.started ---
// Draws the queued passes, all their corners in one upload.
void EsDraw(const Pass* passes, size_t count);
GLuint EsNewTexture(const Image& image);
void EsDeleteTexture(GLuint texture);
// RGBA bytes, bottom row first, without padding.
void EsReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, uint8_t* rgba);
GLenum EsError();
void EsFlush(bool finish);

}  // namespace gl11
