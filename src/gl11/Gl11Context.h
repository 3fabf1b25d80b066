// The GL 1.1 layer's own state and the seams between its files. Private to the
// layer (and its context-free unit tests); the drawing code sees GL11.h only.
//
// One Context holds every GL 1.1 state of the one current context, the display
// lists and images, and the queue of draws waiting for ES. Only the ES half
// (EsBackend.h) calls ES, and only while `started` is true: without StartGl11
// every state, list, image and batch is still kept, so all but the ES half
// runs and can be tested without any context.
//
// The files: GL11.cpp (the context, starting and stopping, the gets), State.cpp
// (what the state commands do), Matrices.cpp (the transform, pure), Lists.cpp
// (the commands: made, recorded into display lists or run), Batching.cpp
// (immediate mode, triangles and the queue), Images.cpp (every image's life),
// Pixels.cpp (uploads, texture parameters and read-back), EsBackend.cpp and
// EsFrame.cpp (the ES half, a leaf).
#pragma once

#include "gl11/EsBackend.h"
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

// An uploaded image: RGBA bytes bottom row first, as GL keeps level 0, and its ES
// texture (0 while the layer is not started). Held by the lists that recorded it
// and by the default texture while it is the image in force; `holders` counts them.
struct Image {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;
  GLuint esTexture = 0;
  int holders = 0;
  bool inUse = false;  // false: a free slot
};

enum class Op : uint8_t {
  Begin, End, Vertex, TexCoord, Color, Enable, Disable, BlendFunc, ClearColor, Clear, Viewport, PushAttrib,
  PopAttrib, MatrixMode, LoadIdentity, PushMatrix, PopMatrix, Ortho, Translate, Scale, CallList, ListBase,
  TexImage, TexParameter, Error
};

// One command, run at once or recorded in a list: its enums, names and
// integers, and its floats, in the order of the call's arguments.
struct Command {
  Op op;
  uint32_t ints[4];
  float floats[6];
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
struct PrimitiveVertex {
  float position[4];
  float colour[4];
  float texCoord[2];
};

// An untextured rectangle of one colour, axis-aligned in clip space (w 1),
// as the last primitive queued: the next such one that shares a whole side
// with it widens it instead of adding two triangles (Batching.cpp).
struct QueuedRect {
  bool valid = false;
  size_t pass = 0, end = 0;  // its pass, and where its six corners end there
  float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f, z = 0.0f;
  float colour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  bool counterClockwise = true;
};

struct Context {
  bool started = false;  // an ES context with the layer's objects in it
  GLenum error = GL_NO_ERROR;

  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float texCoord[2] = {0.0f, 0.0f};
  bool texturing = false;  // GL_TEXTURE_2D
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
  GLuint compilingList = 0;
  std::vector<Command> compiledCommands;
  int listCallDepth = 0;

  std::vector<Image> images;
  TextureState defaultTexture = {-1, 0, GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR};  // texture name 0

  bool inBegin = false;
  GLenum primitiveMode = GL_QUADS;
  std::vector<PrimitiveVertex> primitive;

  std::vector<Pass> passes;  // the first passCount are queued; the rest keep their storage
  size_t passCount = 0;
  size_t queuedCorners = 0;
  std::vector<BatchVertex> primitiveCorners;  // the primitive being queued, as triangles
  QueuedRect lastRect;
};

extern Context context;

// --- GL11.cpp: the context ---
void SetError(GLenum e);
// Every state to GL's initial value; no lists, no images, nothing queued.
void ResetState();

// --- State.cpp: what the state commands do, each as GL 1.1 does it ---
// The flag glEnable(cap) sets; null for a cap the layer does not have.
bool* Capability(GLenum cap);
void SetCapability(GLenum cap, bool on);
void SetBlendFunc(GLenum sfactor, GLenum dfactor);
void SetClearColour(const float rgba[4]);
void SetViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void Clear(GLbitfield mask);
void PushAttrib(GLbitfield mask);
void PopAttrib();
// On the matrix glMatrixMode chose.
void SetMatrixMode(GLenum mode);
void LoadIdentityMatrix();
void PushMatrix();
void PopMatrix();
void OrthoMatrix(float left, float right, float bottom, float top, float zNear, float zFar);
void TranslateMatrix(float x, float y, float z);
void ScaleMatrix(float x, float y, float z);
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

// --- Lists.cpp: the commands ---
Command MakeCommand(Op op, uint32_t int0 = 0, uint32_t int1 = 0);
Command MakeFloatCommand(Op op, float float0, float float1 = 0.0f, float float2 = 0.0f, float float3 = 0.0f);
// Records the command into the list being compiled, or runs it.
void Submit(const Command& command);

// --- Batching.cpp: immediate mode and the queue ---
void BeginPrimitive(GLenum mode);
void AddVertex(float x, float y);
// Triangulates the primitive and queues it, in a draw of its own or one it may join.
void EndPrimitive();
// A clear of the colour and/or depth buffer: the queue goes first.
void QueueClear(GLbitfield mask);
// Sends what is queued to ES (drops it when the layer is not started).
void FlushQueue();

// --- Images.cpp: every image's life ---
// A new image of `rgba` (taken over), with its ES texture while the layer is
// started; held by nothing yet.
int AddImage(int32_t width, int32_t height, std::vector<uint8_t>& rgba);
// Runs or records the upload of a new image: the list being compiled, or the
// default texture once the upload runs, then holds it.
void SubmitUpload(int image);
void Retain(int image);
// Drops a hold; the last one frees the image and its ES texture.
void Release(int image);
// The image the default texture now holds (a recorded upload running).
void BindImage(int image);
// Drops a list's commands and the images they hold.
void ReleaseCommands(std::vector<Command>& commands);
// As the layer stops: every image's ES texture goes (the images go with the reset).
void DeleteEsTextures();

// --- Pixels.cpp: uploads, texture parameters and read-back ---
void SetTexParameter(GLenum pname, GLint param);
// Whether draws sample the default texture: an image, and a filter that needs no mipmaps.
bool TextureComplete();
// RGBA bytes, rows without padding, into `pixels` as `format` (GL_RGB or GL_RGBA)
// with rows padded to the GL_PACK_ALIGNMENT.
void WritePixels(const uint8_t* rgba, GLsizei width, GLsizei height, GLenum format, GLvoid* pixels);

}  // namespace gl11
