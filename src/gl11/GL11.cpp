// GL 1.1 state, display lists and immediate mode kept on the CPU. Primitives
// become triangles in clip space and are batched: a primitive joins the last
// draw whose ES state (blend, depth, culling, viewport, the texture of textured
// primitives) it shares, even across later draws of other states, as long as
// none of those touches its window-space bounds: draws that cover different
// pixels give the same pixels in either order. The draws and clears of a frame
// wait in a queue and reach ES together, with all their vertices in one upload,
// at the next flush: glFlush, glFinish, glReadPixels, or the clear that starts
// the next frame.
#include <GLES3/gl3.h>

#define QUARN_GL11_IMPLEMENTATION
#include "gl11/GL11.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kMatrixDepth = 32;
constexpr int kAttribDepth = 16;
constexpr int kListNesting = 64;

// Column-major, as GL keeps them.
struct Matrix {
  float m[16];
};

struct TextureParams {
  GLint minFilter, magFilter, wrapS, wrapT;
  bool operator!=(const TextureParams& o) const {
    return minFilter != o.minFilter || magFilter != o.magFilter || wrapS != o.wrapS || wrapT != o.wrapT;
  }
};

const TextureParams kInitialParams = {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};

// An uploaded image: RGBA bytes bottom row first, as GL keeps level 0, and its ES
// texture. Held by the lists that recorded it and by the default texture while
// it is the image in force.
struct Image {
  int32_t width = 0, height = 0;
  GLenum baseFormat = GL_RGBA;
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

// One recorded command. u[] holds enums, names and integers, f[] floats.
struct Command {
  Op op;
  uint32_t u[4];
  float f[6];
};

struct List {
  bool exists = false;
  std::vector<Command> commands;
};

struct AttribFrame {
  GLbitfield mask;
  float colour[4], texCoord[2];
  bool texture2d, blend, depthTest, cullFace;
  GLenum blendSrc, blendDst;
  float clearColour[4];
  GLint viewport[4];
  GLenum matrixMode;
  GLuint listBase;
  TextureParams params;
};

// What an ES draw depends on.
struct DrawState {
  bool blend, depthTest, cullFace;
  GLenum blendSrc, blendDst;
  GLint viewport[4];
  int image;  // only meaningful for a draw with textured primitives
  TextureParams params;
};

// A triangle corner as the shader takes it: clip position, colour, texture
// coordinate and whether the primitive is textured.
struct BatchVertex {
  float position[4];
  float colour[4];
  float texCoord[2];
  float textured;
};

struct PrimVertex {
  float position[4];
  float colour[4];
  float texCoord[2];
};

// --- the GL 1.1 context ---
bool started = false;
GLenum error = GL_NO_ERROR;

float colour[4];
float texCoord[2];
bool texture2d, blend, depthTest, cullFace;
GLenum blendSrc, blendDst;
float clearColour[4];
GLint viewport[4];
GLint unpackAlignment, packAlignment;

GLenum matrixMode;
Matrix modelview[kMatrixDepth], projection[kMatrixDepth];
int modelviewTop, projectionTop;
Matrix mvp;
bool mvpDirty;

AttribFrame attribStack[kAttribDepth];
int attribTop;

std::vector<List> lists;  // indexed by name; 0 is never a list
GLuint listBase;
bool compiling;
GLuint compileName;
GLenum compileMode;
std::vector<Command> compileCommands;
int callDepth;

std::vector<Image> images;
int textureImage;  // the image in force in the default texture, -1 for none
TextureParams textureParams;

bool inBegin;
GLenum primMode;
std::vector<PrimVertex> prim;

// --- the queue and the ES side ---

// A clear, or a draw of triangles.
struct Pass {
  bool clear;
  GLbitfield clearMask;
  float clearColour[4];
  DrawState state;
  bool textured;
  float bounds[4];  // window x0, y0, x1, y1 of its triangles, widened by a pixel
  std::vector<BatchVertex> corners;
};

// How many draws back a primitive may look for one to join.
constexpr size_t kLookBack = 16;
// Past this many queued corners the queue goes to ES without waiting for a flush.
constexpr size_t kQueueLimit = 1 << 18;

std::vector<Pass> passes;  // the first passCount are queued; the rest keep their storage
size_t passCount;
size_t queuedCorners;
std::vector<BatchVertex> triangles;  // the primitive being added
std::vector<BatchVertex> upload;

GLuint program, vertexArray, vertexBuffer, sampler;
struct {
  bool blend, depthTest, cullFace;
  GLenum blendSrc, blendDst;
  GLint viewport[4];
  GLuint texture;
  TextureParams params;
  float clearColour[4];
} es;

void SetError(GLenum e) {
  if (error == GL_NO_ERROR) error = e;
}

// --- matrices, computed as Mesa's fixed function computes them ---

void Identity(Matrix& a) {
  std::memset(a.m, 0, sizeof a.m);
  a.m[0] = a.m[5] = a.m[10] = a.m[15] = 1.0f;
}

// product = a x b, summed in Mesa's order.
void Multiply(Matrix& product, const Matrix& a, const Matrix& b) {
  Matrix p;
  for (int i = 0; i < 4; ++i) {
    const float ai0 = a.m[i], ai1 = a.m[4 + i], ai2 = a.m[8 + i], ai3 = a.m[12 + i];
    for (int j = 0; j < 4; ++j)
      p.m[4 * j + i] = ai0 * b.m[4 * j] + ai1 * b.m[4 * j + 1] + ai2 * b.m[4 * j + 2] + ai3 * b.m[4 * j + 3];
  }
  product = p;
}

Matrix& Top() { return matrixMode == GL_PROJECTION ? projection[projectionTop] : modelview[modelviewTop]; }

const Matrix& Mvp() {
  if (mvpDirty) {
    Multiply(mvp, projection[projectionTop], modelview[modelviewTop]);
    mvpDirty = false;
  }
  return mvp;
}

void FlushQueue();

// --- images ---

void Retain(int image) {
  if (image >= 0) ++images[size_t(image)].refs;
}

void Release(int image) {
  if (image < 0) return;
  Image& i = images[size_t(image)];
  if (--i.refs > 0) return;
  // Queued draws may still sample it.
  if (i.texture != 0) FlushQueue();
  if (started && i.texture != 0) {
    if (es.texture == i.texture) es.texture = 0;
    glDeleteTextures(1, &i.texture);
  }
  i = Image();
}

int NewImage() {
  for (size_t k = 0; k < images.size(); ++k)
    if (!images[k].live) {
      images[k].live = true;
      return int(k);
    }
  images.emplace_back();
  images.back().live = true;
  return int(images.size() - 1);
}

bool TextureComplete() {
  if (textureImage < 0) return false;
  const Image& i = images[size_t(textureImage)];
  if (i.width == 0 || i.height == 0) return false;
  const bool mipmapped = textureParams.minFilter != GL_NEAREST && textureParams.minFilter != GL_LINEAR;
  // A mipmap filter needs every level down to 1 x 1; only level 0 exists.
  return !mipmapped || (i.width == 1 && i.height == 1);
}

// --- ES state, set only where it differs ---

void EsEnable(GLenum cap, bool on, bool& cached) {
  if (on == cached) return;
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
  cached = on;
}

void EsViewport(const GLint v[4]) {
  if (std::memcmp(v, es.viewport, sizeof es.viewport) == 0) return;
  glViewport(v[0], v[1], v[2], v[3]);
  std::memcpy(es.viewport, v, sizeof es.viewport);
}

GLint EsWrap(GLint wrap) { return wrap == GL_CLAMP ? GL_CLAMP_TO_EDGE : wrap; }

void EsTexture(const Image& image, const TextureParams& p) {
  if (es.texture != image.texture) {
    glBindTexture(GL_TEXTURE_2D, image.texture);
    es.texture = image.texture;
  }
  if (p.minFilter != es.params.minFilter) glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, p.minFilter);
  if (p.magFilter != es.params.magFilter) glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, p.magFilter);
  if (p.wrapS != es.params.wrapS) glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, EsWrap(p.wrapS));
  if (p.wrapT != es.params.wrapT) glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, EsWrap(p.wrapT));
  es.params = p;
}

void FlushQueue() {
  if (passCount == 0) return;
  if (!started) {
    passCount = 0;
    queuedCorners = 0;
    return;
  }
  upload.clear();
  for (size_t k = 0; k < passCount; ++k) upload.insert(upload.end(), passes[k].corners.begin(), passes[k].corners.end());
  if (!upload.empty())
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(upload.size() * sizeof(BatchVertex)), upload.data(), GL_STREAM_DRAW);
  size_t first = 0;
  for (size_t k = 0; k < passCount; ++k) {
    const Pass& p = passes[k];
    if (p.clear) {
      if (std::memcmp(p.clearColour, es.clearColour, sizeof es.clearColour) != 0) {
        glClearColor(p.clearColour[0], p.clearColour[1], p.clearColour[2], p.clearColour[3]);
        std::memcpy(es.clearColour, p.clearColour, sizeof es.clearColour);
      }
      glClear(p.clearMask);
      continue;
    }
    const DrawState& s = p.state;
    EsEnable(GL_BLEND, s.blend, es.blend);
    if (s.blend && (s.blendSrc != es.blendSrc || s.blendDst != es.blendDst)) {
      glBlendFunc(s.blendSrc, s.blendDst);
      es.blendSrc = s.blendSrc;
      es.blendDst = s.blendDst;
    }
    EsEnable(GL_DEPTH_TEST, s.depthTest, es.depthTest);
    EsEnable(GL_CULL_FACE, s.cullFace, es.cullFace);
    EsViewport(s.viewport);
    if (p.textured) EsTexture(images[size_t(s.image)], s.params);
    glDrawArrays(GL_TRIANGLES, GLint(first), GLsizei(p.corners.size()));
    first += p.corners.size();
  }
  passCount = 0;
  queuedCorners = 0;
}

// A new pass at the end of the queue, reusing the storage of an earlier frame's.
Pass& AddPass() {
  if (passCount == passes.size()) passes.emplace_back();
  Pass& p = passes[passCount++];
  p.clear = false;
  p.clearMask = 0;
  std::memset(p.clearColour, 0, sizeof p.clearColour);
  p.textured = false;
  p.corners.clear();
  return p;
}

// --- immediate mode ---

void AddCorner(const PrimVertex& v, bool textured) {
  BatchVertex b;
  std::memcpy(b.position, v.position, sizeof b.position);
  std::memcpy(b.colour, v.colour, sizeof b.colour);
  b.texCoord[0] = v.texCoord[0];
  b.texCoord[1] = v.texCoord[1];
  b.textured = textured ? 1.0f : 0.0f;
  triangles.push_back(b);
}

void AddTriangle(size_t a, size_t b, size_t c, bool textured) {
  AddCorner(prim[a], textured);
  AddCorner(prim[b], textured);
  AddCorner(prim[c], textured);
}

void Triangulate(bool textured) {
  const size_t n = prim.size();
  triangles.clear();
  switch (primMode) {
    case GL_TRIANGLES:
      for (size_t i = 0; i + 2 < n; i += 3) AddTriangle(i, i + 1, i + 2, textured);
      break;
    case GL_TRIANGLE_STRIP:
      // Every other triangle turned round, so that all keep the strip's winding.
      for (size_t i = 0; i + 2 < n; ++i) {
        if (i % 2 == 0)
          AddTriangle(i, i + 1, i + 2, textured);
        else
          AddTriangle(i + 1, i, i + 2, textured);
      }
      break;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
      for (size_t i = 1; i + 1 < n; ++i) AddTriangle(0, i, i + 1, textured);
      break;
    case GL_QUADS:
      for (size_t i = 0; i + 3 < n; i += 4) {
        AddTriangle(i, i + 1, i + 2, textured);
        AddTriangle(i, i + 2, i + 3, textured);
      }
      break;
    case GL_QUAD_STRIP:
      for (size_t i = 0; i + 3 < n; i += 2) {
        AddTriangle(i, i + 1, i + 3, textured);
        AddTriangle(i, i + 3, i + 2, textured);
      }
      break;
    default:
      break;
  }
}

// The window-space box around the primitive's vertices, a pixel wider on every
// side; unbounded when a vertex is not in front of the eye.
void PrimitiveBounds(float bounds[4]) {
  bounds[0] = bounds[1] = 1e30f;
  bounds[2] = bounds[3] = -1e30f;
  for (const PrimVertex& v : prim) {
    const float w = v.position[3];
    const float x = (v.position[0] / w * 0.5f + 0.5f) * float(viewport[2]) + float(viewport[0]);
    const float y = (v.position[1] / w * 0.5f + 0.5f) * float(viewport[3]) + float(viewport[1]);
    if (!(w > 0.0f) || !(x > -1e29f && x < 1e29f) || !(y > -1e29f && y < 1e29f)) {
      bounds[0] = bounds[1] = -1e30f;
      bounds[2] = bounds[3] = 1e30f;
      return;
    }
    if (x < bounds[0]) bounds[0] = x;
    if (y < bounds[1]) bounds[1] = y;
    if (x > bounds[2]) bounds[2] = x;
    if (y > bounds[3]) bounds[3] = y;
  }
  bounds[0] -= 1.0f;
  bounds[1] -= 1.0f;
  bounds[2] += 1.0f;
  bounds[3] += 1.0f;
}

bool Overlap(const float a[4], const float b[4]) { return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3]; }

// Whether a primitive drawn under `now` (textured or not) can go into pass p.
bool Joins(const Pass& p, const DrawState& now, bool textured) {
  const DrawState& b = p.state;
  return b.blend == now.blend && b.depthTest == now.depthTest && b.cullFace == now.cullFace &&
         std::memcmp(b.viewport, now.viewport, sizeof viewport) == 0 &&
         (!now.blend || (b.blendSrc == now.blendSrc && b.blendDst == now.blendDst)) &&
         !(textured && p.textured && (b.image != now.image || b.params != now.params));
}

// The primitive just ended goes into the latest queued draw it can join: the
// last one, or an earlier one when no draw after that touches its bounds.
void EmitPrimitive() {
  if (prim.size() < 3) return;
  if (queuedCorners >= kQueueLimit) FlushQueue();
  const bool textured = texture2d && TextureComplete();
  DrawState now;
  now.blend = blend;
  now.blendSrc = blendSrc;
  now.blendDst = blendDst;
  now.depthTest = depthTest;
  now.cullFace = cullFace;
  std::memcpy(now.viewport, viewport, sizeof viewport);
  now.image = textureImage;
  now.params = textureParams;
  float bounds[4];
  PrimitiveBounds(bounds);

  Pass* target = nullptr;
  for (size_t k = passCount; k > 0 && passCount - k < kLookBack; --k) {
    Pass& p = passes[k - 1];
    if (p.clear) break;
    if (Joins(p, now, textured)) {
      target = &p;
      break;
    }
    if (Overlap(p.bounds, bounds)) break;
  }
  if (!target) {
    target = &AddPass();
    target->state = now;
    std::memcpy(target->bounds, bounds, sizeof bounds);
  }
  if (textured && !target->textured) {
    target->state.image = now.image;
    target->state.params = now.params;
    target->textured = true;
  }
  for (int k = 0; k < 2; ++k) {
    if (bounds[k] < target->bounds[k]) target->bounds[k] = bounds[k];
    if (bounds[k + 2] > target->bounds[k + 2]) target->bounds[k + 2] = bounds[k + 2];
  }
  Triangulate(textured);
  target->corners.insert(target->corners.end(), triangles.begin(), triangles.end());
  queuedCorners += triangles.size();
}

void DoVertex(float x, float y) {
  if (!inBegin) return;  // GL leaves a vertex outside glBegin/glEnd undefined
  const float* c = Mvp().m;
  PrimVertex v;
  // As the fixed-function vertex program does it: x * column 0, then multiply-adds
  // with y, z = 0 and w = 1.
  for (int k = 0; k < 4; ++k) {
    float p = x * c[k];
    p = y * c[4 + k] + p;
    p = 0.0f * c[8 + k] + p;
    p = 1.0f * c[12 + k] + p;
    v.position[k] = p;
  }
  std::memcpy(v.colour, colour, sizeof colour);
  v.texCoord[0] = texCoord[0];
  v.texCoord[1] = texCoord[1];
  prim.push_back(v);
}

// --- texture uploads ---

bool HasAlpha(GLint internalFormat) {
  return internalFormat == GL_RGBA || internalFormat == 4 || internalFormat == GL_RGBA8;
}

// Validates an upload and, when it is good, turns it into a new image (with its
// ES texture). Returns the image, or -1 with `failure` set.
int MakeImage(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
              GLenum format, GLenum type, const GLvoid* pixels, GLenum& failure) {
  failure = GL_NO_ERROR;
  if (target != GL_TEXTURE_2D || (format != GL_RGB && format != GL_RGBA && format != GL_BGR && format != GL_BGRA) ||
      type != GL_UNSIGNED_BYTE) {
    failure = GL_INVALID_ENUM;
    return -1;
  }
  const bool knownInternal = internalFormat == GL_RGB || internalFormat == 3 || internalFormat == GL_RGB8 ||
                             HasAlpha(internalFormat);
  if (!knownInternal || level != 0 || width < 0 || height < 0 || border != 0) {
    failure = GL_INVALID_VALUE;
    return -1;
  }
  const int image = NewImage();
  Image& i = images[size_t(image)];
  i.width = width;
  i.height = height;
  i.baseFormat = HasAlpha(internalFormat) ? GL_RGBA : GL_RGB;
  i.rgba.assign(size_t(width) * size_t(height) * 4, 0);
  const int components = (format == GL_RGB || format == GL_BGR) ? 3 : 4;
  const bool swap = format == GL_BGR || format == GL_BGRA;
  const bool keepAlpha = components == 4 && HasAlpha(internalFormat);
  const size_t rowBytes = size_t(width) * size_t(components);
  const size_t stride = (rowBytes + size_t(unpackAlignment) - 1) / size_t(unpackAlignment) * size_t(unpackAlignment);
  const uint8_t* source = static_cast<const uint8_t*>(pixels);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = &i.rgba[size_t(y) * size_t(width) * 4];
    const uint8_t* in = source ? source + size_t(y) * stride : nullptr;
    for (int32_t x = 0; x < width; ++x, out += 4) {
      if (in) {
        const uint8_t* p = in + size_t(x) * size_t(components);
        out[0] = swap ? p[2] : p[0];
        out[1] = p[1];
        out[2] = swap ? p[0] : p[2];
        out[3] = keepAlpha ? p[3] : 255;
      } else {
        out[3] = keepAlpha ? 0 : 255;
      }
    }
  }
  if (started && width > 0 && height > 0) {
    glGenTextures(1, &i.texture);
    glBindTexture(GL_TEXTURE_2D, i.texture);
    es.texture = i.texture;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, i.rgba.data());
  }
  return image;
}

bool ValidTexParameter(GLenum pname, GLint param) {
  switch (pname) {
    case GL_TEXTURE_MIN_FILTER:
      return param == GL_NEAREST || param == GL_LINEAR || param == GL_NEAREST_MIPMAP_NEAREST ||
             param == GL_LINEAR_MIPMAP_NEAREST || param == GL_NEAREST_MIPMAP_LINEAR ||
             param == GL_LINEAR_MIPMAP_LINEAR;
    case GL_TEXTURE_MAG_FILTER:
      return param == GL_NEAREST || param == GL_LINEAR;
    case GL_TEXTURE_WRAP_S:
    case GL_TEXTURE_WRAP_T:
      return param == GL_CLAMP || param == GL_REPEAT;
    default:
      return false;
  }
}

// --- lists ---

void ReleaseCommands(std::vector<Command>& commands) {
  for (const Command& c : commands)
    if (c.op == Op::TexImage) Release(int(c.u[0]));
  commands.clear();
}

// In GL_COMPILE mode a command is only recorded; true when the caller must not
// also execute it.
bool Record(const Command& c) {
  if (!compiling) return false;
  compileCommands.push_back(c);
  return compileMode == GL_COMPILE;
}

Command Make(Op op, uint32_t u0 = 0, uint32_t u1 = 0) {
  Command c;
  std::memset(&c, 0, sizeof c);
  c.op = op;
  c.u[0] = u0;
  c.u[1] = u1;
  return c;
}

Command MakeF(Op op, float f0, float f1 = 0.0f, float f2 = 0.0f, float f3 = 0.0f) {
  Command c = Make(op);
  c.f[0] = f0;
  c.f[1] = f1;
  c.f[2] = f2;
  c.f[3] = f3;
  return c;
}

void Run(const Command& c);

void CallList(GLuint name) {
  if (name >= lists.size() || !lists[name].exists) return;
  if (callDepth >= kListNesting) return;
  ++callDepth;
  // Nothing a list holds can add or remove lists, so the vector stays put.
  const std::vector<Command>& commands = lists[name].commands;
  for (size_t k = 0; k < commands.size(); ++k) Run(commands[k]);
  --callDepth;
}

// --- state commands ---

bool* Capability(GLenum cap) {
  switch (cap) {
    case GL_TEXTURE_2D: return &texture2d;
    case GL_BLEND: return &blend;
    case GL_DEPTH_TEST: return &depthTest;
    case GL_CULL_FACE: return &cullFace;
    default: return nullptr;
  }
}

bool ValidBlendFactor(GLenum f) {
  return f == GL_ZERO || f == GL_ONE || (f >= GL_SRC_COLOR && f <= GL_SRC_ALPHA_SATURATE);
}

void PushAttrib(GLbitfield mask) {
  if (attribTop + 1 >= kAttribDepth) {
    SetError(GL_STACK_OVERFLOW);
    return;
  }
  AttribFrame& a = attribStack[++attribTop];
  a.mask = mask;
  std::memcpy(a.colour, colour, sizeof colour);
  std::memcpy(a.texCoord, texCoord, sizeof texCoord);
  a.texture2d = texture2d;
  a.blend = blend;
  a.depthTest = depthTest;
  a.cullFace = cullFace;
  a.blendSrc = blendSrc;
  a.blendDst = blendDst;
  std::memcpy(a.clearColour, clearColour, sizeof clearColour);
  std::memcpy(a.viewport, viewport, sizeof viewport);
  a.matrixMode = matrixMode;
  a.listBase = listBase;
  a.params = textureParams;
}

void PopAttrib() {
  if (attribTop < 0) {
    SetError(GL_STACK_UNDERFLOW);
    return;
  }
  const AttribFrame& a = attribStack[attribTop--];
  if (a.mask & GL_CURRENT_BIT) {
    std::memcpy(colour, a.colour, sizeof colour);
    std::memcpy(texCoord, a.texCoord, sizeof texCoord);
  }
  if (a.mask & GL_COLOR_BUFFER_BIT) {
    blend = a.blend;
    blendSrc = a.blendSrc;
    blendDst = a.blendDst;
    std::memcpy(clearColour, a.clearColour, sizeof clearColour);
  }
  if (a.mask & GL_DEPTH_BUFFER_BIT) depthTest = a.depthTest;
  if (a.mask & GL_ENABLE_BIT) {
    texture2d = a.texture2d;
    blend = a.blend;
    depthTest = a.depthTest;
    cullFace = a.cullFace;
  }
  if (a.mask & GL_VIEWPORT_BIT) std::memcpy(viewport, a.viewport, sizeof viewport);
  if (a.mask & GL_TRANSFORM_BIT) matrixMode = a.matrixMode;
  if (a.mask & GL_LIST_BIT) listBase = a.listBase;
  if (a.mask & GL_TEXTURE_BIT) {
    texture2d = a.texture2d;
    textureParams = a.params;
  }
}

// GL 1.1's accumulation buffer bit: a buffer the context never has, so clearing
// it, like the stencil buffer, does nothing.
constexpr GLbitfield kAccumBufferBit = 0x00000200;

void Clear(GLbitfield mask) {
  if (mask & ~GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | kAccumBufferBit)) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  const GLbitfield esMask = mask & GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (!esMask) return;
  // A clear starts a frame: what the last one queued goes to ES now.
  FlushQueue();
  Pass& p = AddPass();
  p.clear = true;
  p.clearMask = esMask;
  std::memcpy(p.clearColour, clearColour, sizeof clearColour);
}

// Runs one command, whether it comes from a list or straight from the caller.
void Run(const Command& c) {
  // Only these may come between glBegin and glEnd.
  if (inBegin && c.op != Op::Vertex && c.op != Op::TexCoord && c.op != Op::Color && c.op != Op::CallList &&
      c.op != Op::End) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  switch (c.op) {
    case Op::Begin:
      if (c.u[0] < GL_TRIANGLES || c.u[0] > GL_POLYGON) {
        SetError(GL_INVALID_ENUM);
        return;
      }
      inBegin = true;
      primMode = c.u[0];
      prim.clear();
      return;
    case Op::End:
      if (!inBegin) {
        SetError(GL_INVALID_OPERATION);
        return;
      }
      inBegin = false;
      EmitPrimitive();
      return;
    case Op::Vertex: DoVertex(c.f[0], c.f[1]); return;
    case Op::TexCoord:
      texCoord[0] = c.f[0];
      texCoord[1] = c.f[1];
      return;
    case Op::Color: std::memcpy(colour, c.f, sizeof colour); return;
    case Op::Enable:
    case Op::Disable: {
      bool* flag = Capability(c.u[0]);
      if (!flag) {
        SetError(GL_INVALID_ENUM);
        return;
      }
      *flag = c.op == Op::Enable;
      return;
    }
    case Op::BlendFunc:
      if (!ValidBlendFactor(c.u[0]) || !ValidBlendFactor(c.u[1])) {
        SetError(GL_INVALID_ENUM);
        return;
      }
      blendSrc = c.u[0];
      blendDst = c.u[1];
      return;
    case Op::ClearColor:
      for (int k = 0; k < 4; ++k) clearColour[k] = c.f[k] < 0.0f ? 0.0f : c.f[k] > 1.0f ? 1.0f : c.f[k];
      return;
    case Op::Clear: Clear(c.u[0]); return;
    case Op::Viewport:
      if (int32_t(c.u[2]) < 0 || int32_t(c.u[3]) < 0) {
        SetError(GL_INVALID_VALUE);
        return;
      }
      for (int k = 0; k < 4; ++k) viewport[k] = GLint(c.u[k]);
      return;
    case Op::PushAttrib: PushAttrib(c.u[0]); return;
    case Op::PopAttrib: PopAttrib(); return;
    case Op::MatrixMode:
      if (c.u[0] != GL_MODELVIEW && c.u[0] != GL_PROJECTION) {
        SetError(GL_INVALID_ENUM);
        return;
      }
      matrixMode = c.u[0];
      return;
    case Op::LoadIdentity:
      Identity(Top());
      mvpDirty = true;
      return;
    case Op::PushMatrix: {
      int& top = matrixMode == GL_PROJECTION ? projectionTop : modelviewTop;
      Matrix* stack = matrixMode == GL_PROJECTION ? projection : modelview;
      if (top + 1 >= kMatrixDepth) {
        SetError(GL_STACK_OVERFLOW);
        return;
      }
      stack[top + 1] = stack[top];
      ++top;
      return;
    }
    case Op::PopMatrix: {
      int& top = matrixMode == GL_PROJECTION ? projectionTop : modelviewTop;
      if (top == 0) {
        SetError(GL_STACK_UNDERFLOW);
        return;
      }
      --top;
      mvpDirty = true;
      return;
    }
    case Op::Ortho: {
      const float left = c.f[0], right = c.f[1], bottom = c.f[2], top = c.f[3], zNear = c.f[4], zFar = c.f[5];
      if (left == right || bottom == top || zNear == zFar) {
        SetError(GL_INVALID_VALUE);
        return;
      }
      Matrix o;
      Identity(o);
      o.m[0] = 2.0f / (right - left);
      o.m[12] = -(right + left) / (right - left);
      o.m[5] = 2.0f / (top - bottom);
      o.m[13] = -(top + bottom) / (top - bottom);
      o.m[10] = -2.0f / (zFar - zNear);
      o.m[14] = -(zFar + zNear) / (zFar - zNear);
      Multiply(Top(), Top(), o);
      mvpDirty = true;
      return;
    }
    case Op::Translate: {
      float* m = Top().m;
      const float x = c.f[0], y = c.f[1], z = c.f[2];
      m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
      m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
      m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
      m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
      mvpDirty = true;
      return;
    }
    case Op::Scale: {
      float* m = Top().m;
      for (int k = 0; k < 4; ++k) {
        m[k] *= c.f[0];
        m[4 + k] *= c.f[1];
        m[8 + k] *= c.f[2];
      }
      mvpDirty = true;
      return;
    }
    case Op::CallList: CallList(c.u[1] ? listBase + c.u[0] : c.u[0]); return;
    case Op::ListBase: listBase = c.u[0]; return;
    case Op::TexImage: {
      const int image = int(c.u[0]);
      Retain(image);
      Release(textureImage);
      textureImage = image;
      return;
    }
    case Op::TexParameter: {
      const GLint param = GLint(c.u[1]);
      switch (c.u[0]) {
        case GL_TEXTURE_MIN_FILTER: textureParams.minFilter = param; break;
        case GL_TEXTURE_MAG_FILTER: textureParams.magFilter = param; break;
        case GL_TEXTURE_WRAP_S: textureParams.wrapS = param; break;
        default: textureParams.wrapT = param; break;
      }
      return;
    }
    case Op::Error: SetError(c.u[0]); return;
  }
}

// Records or runs a command built by an entry point.
void Submit(const Command& c) {
  if (Record(c)) return;
  Run(c);
}

void ResetState() {
  error = GL_NO_ERROR;
  colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
  texCoord[0] = texCoord[1] = 0.0f;
  texture2d = blend = depthTest = cullFace = false;
  blendSrc = GL_ONE;
  blendDst = GL_ZERO;
  clearColour[0] = clearColour[1] = clearColour[2] = clearColour[3] = 0.0f;
  viewport[0] = viewport[1] = viewport[2] = viewport[3] = 0;
  unpackAlignment = packAlignment = 4;
  matrixMode = GL_MODELVIEW;
  modelviewTop = projectionTop = 0;
  Identity(modelview[0]);
  Identity(projection[0]);
  mvpDirty = true;
  attribTop = -1;
  lists.clear();
  listBase = 0;
  compiling = false;
  compileCommands.clear();
  callDepth = 0;
  images.clear();
  textureImage = -1;
  textureParams = kInitialParams;
  inBegin = false;
  prim.clear();
  passCount = 0;
  queuedCorners = 0;
}

const char kVertexShader[] = R"(#version 300 es
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 colour;
layout(location = 2) in vec3 texCoordTextured;
out vec4 vColour;
out vec2 vTexCoord;
flat out float vTextured;
void main() {
  gl_Position = position;
  vColour = colour;
  vTexCoord = texCoordTextured.xy;
  vTextured = texCoordTextured.z;
}
)";

// GL_MODULATE: the texel times the colour; untextured, the colour alone.
const char kFragmentShader[] = R"(#version 300 es
precision highp float;
uniform highp sampler2D image;
in vec4 vColour;
in vec2 vTexCoord;
flat in float vTextured;
out vec4 fragColour;
void main() {
  vec4 texel = texture(image, vTexCoord);
  fragColour = vTextured > 0.5 ? vColour * texel : vColour;
}
)";

GLuint CompileShader(GLenum kind, const char* source, char* error, int errorSize) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  char log[256] = "";
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  for (char* p = log; *p; ++p)
    if (*p == '\n') *p = ' ';
  if (error && errorSize > 0)
    std::snprintf(error, size_t(errorSize), "the %s shader does not compile (an ES 3 context?): %s",
                  kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
  glDeleteShader(shader);
  return 0;
}

void DeleteEsObjects() {
  if (program) glDeleteProgram(program);
  if (vertexBuffer) glDeleteBuffers(1, &vertexBuffer);
  if (vertexArray) glDeleteVertexArrays(1, &vertexArray);
  if (sampler) glDeleteSamplers(1, &sampler);
  program = vertexBuffer = vertexArray = sampler = 0;
}

void WritePixels(const uint8_t* rgba, GLsizei width, GLsizei height, GLenum format, GLvoid* pixels) {
  const int components = (format == GL_RGB || format == GL_BGR) ? 3 : 4;
  const bool swap = format == GL_BGR || format == GL_BGRA;
  const size_t rowBytes = size_t(width) * size_t(components);
  const size_t stride = (rowBytes + size_t(packAlignment) - 1) / size_t(packAlignment) * size_t(packAlignment);
  uint8_t* out = static_cast<uint8_t*>(pixels);
  for (GLsizei y = 0; y < height; ++y) {
    const uint8_t* in = rgba + size_t(y) * size_t(width) * 4;
    uint8_t* row = out + size_t(y) * stride;
    for (GLsizei x = 0; x < width; ++x, in += 4, row += components) {
      row[0] = swap ? in[2] : in[0];
      row[1] = in[1];
      row[2] = swap ? in[0] : in[2];
      if (components == 4) row[3] = in[3];
    }
  }
}

bool ValidReadFormat(GLenum format, GLenum type) {
  return (format == GL_RGB || format == GL_RGBA || format == GL_BGR || format == GL_BGRA) && type == GL_UNSIGNED_BYTE;
}

}  // namespace

bool StartGl11(char* errorText, int errorSize) {
  StopGl11();
  ResetState();
  GLuint vertex = CompileShader(GL_VERTEX_SHADER, kVertexShader, errorText, errorSize);
  if (!vertex) return false;
  GLuint fragment = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader, errorText, errorSize);
  if (!fragment) {
    glDeleteShader(vertex);
    return false;
  }
  program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    if (errorText && errorSize > 0) std::snprintf(errorText, size_t(errorSize), "the layer's program does not link");
    DeleteEsObjects();
    return false;
  }
  glUseProgram(program);

  glGenVertexArrays(1, &vertexArray);
  glBindVertexArray(vertexArray);
  glGenBuffers(1, &vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
  const GLsizei stride = sizeof(BatchVertex);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, position)));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, colour)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(offsetof(BatchVertex, texCoord)));

  glGenSamplers(1, &sampler);
  glBindSampler(0, sampler);
  glActiveTexture(GL_TEXTURE0);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);

  // The ES state the layer starts from, set rather than assumed.
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_SCISSOR_TEST);
  glBlendFunc(GL_ONE, GL_ZERO);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepthf(1.0f);
  glBindTexture(GL_TEXTURE_2D, 0);
  glGetIntegerv(GL_VIEWPORT, viewport);
  es.blend = es.depthTest = es.cullFace = false;
  es.blendSrc = GL_ONE;
  es.blendDst = GL_ZERO;
  std::memcpy(es.viewport, viewport, sizeof viewport);
  es.texture = 0;
  es.params = TextureParams{GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, es.params.minFilter);
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, es.params.magFilter);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
  std::memset(es.clearColour, 0, sizeof es.clearColour);
  started = true;
  return true;
}

void StopGl11() {
  if (!started) {
    ResetState();
    return;
  }
  passCount = 0;
  queuedCorners = 0;
  for (Image& i : images)
    if (i.texture) glDeleteTextures(1, &i.texture);
  DeleteEsObjects();
  started = false;
  ResetState();
}

void Gl11Begin(GLenum mode) { Submit(Make(Op::Begin, mode)); }
void Gl11End() { Submit(Make(Op::End)); }
void Gl11Vertex2i(GLint x, GLint y) { Submit(MakeF(Op::Vertex, float(x), float(y))); }
void Gl11Vertex2f(GLfloat x, GLfloat y) { Submit(MakeF(Op::Vertex, x, y)); }
void Gl11TexCoord2f(GLfloat s, GLfloat t) { Submit(MakeF(Op::TexCoord, s, t)); }
void Gl11Color3f(GLfloat r, GLfloat g, GLfloat b) { Submit(MakeF(Op::Color, r, g, b, 1.0f)); }
void Gl11Color3fv(const GLfloat* v) { Submit(MakeF(Op::Color, v[0], v[1], v[2], 1.0f)); }

void Gl11Enable(GLenum cap) { Submit(Make(Op::Enable, cap)); }
void Gl11Disable(GLenum cap) { Submit(Make(Op::Disable, cap)); }

GLboolean Gl11IsEnabled(GLenum cap) {
  const bool* flag = Capability(cap);
  if (!flag) {
    SetError(GL_INVALID_ENUM);
    return GL_FALSE;
  }
  return *flag ? GL_TRUE : GL_FALSE;
}

void Gl11BlendFunc(GLenum sfactor, GLenum dfactor) { Submit(Make(Op::BlendFunc, sfactor, dfactor)); }
void Gl11ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Submit(MakeF(Op::ClearColor, r, g, b, a)); }
void Gl11Clear(GLbitfield mask) { Submit(Make(Op::Clear, mask)); }

void Gl11Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  Command c = Make(Op::Viewport, uint32_t(x), uint32_t(y));
  c.u[2] = uint32_t(width);
  c.u[3] = uint32_t(height);
  Submit(c);
}

void Gl11PushAttrib(GLbitfield mask) { Submit(Make(Op::PushAttrib, mask)); }
void Gl11PopAttrib() { Submit(Make(Op::PopAttrib)); }

void Gl11MatrixMode(GLenum mode) { Submit(Make(Op::MatrixMode, mode)); }
void Gl11LoadIdentity() { Submit(Make(Op::LoadIdentity)); }
void Gl11PushMatrix() { Submit(Make(Op::PushMatrix)); }
void Gl11PopMatrix() { Submit(Make(Op::PopMatrix)); }

void Gl11Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
  Command c = MakeF(Op::Ortho, float(left), float(right), float(bottom), float(top));
  c.f[4] = float(zNear);
  c.f[5] = float(zFar);
  Submit(c);
}

void Gl11Translatef(GLfloat x, GLfloat y, GLfloat z) { Submit(MakeF(Op::Translate, x, y, z)); }
void Gl11Translated(GLdouble x, GLdouble y, GLdouble z) {
  Submit(MakeF(Op::Translate, float(x), float(y), float(z)));
}
void Gl11Scalef(GLfloat x, GLfloat y, GLfloat z) { Submit(MakeF(Op::Scale, x, y, z)); }

GLuint Gl11GenLists(GLsizei range) {
  if (range < 0) {
    SetError(GL_INVALID_VALUE);
    return 0;
  }
  if (range == 0) return 0;
  if (lists.empty()) lists.resize(1);
  // The first run of `range` unused names from 1; names past the table are unused.
  GLuint first = 1;
  GLuint run = 0;
  for (GLuint name = 1; name < lists.size() && run < GLuint(range); ++name) {
    if (lists[name].exists) {
      first = name + 1;
      run = 0;
    } else {
      ++run;
    }
  }
  if (lists.size() < size_t(first) + size_t(range)) lists.resize(size_t(first) + size_t(range));
  for (GLuint k = 0; k < GLuint(range); ++k) lists[first + k].exists = true;
  return first;
}

void Gl11NewList(GLuint list, GLenum mode) {
  if (list == 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (compiling || inBegin) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  compiling = true;
  compileName = list;
  compileMode = mode;
  compileCommands.clear();
}

void Gl11EndList() {
  if (!compiling) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  compiling = false;
  if (lists.size() <= compileName) lists.resize(size_t(compileName) + 1);
  List& l = lists[compileName];
  ReleaseCommands(l.commands);
  l.exists = true;
  l.commands.swap(compileCommands);
  compileCommands.clear();
}

void Gl11CallList(GLuint list) { Submit(Make(Op::CallList, list, 0)); }

void Gl11CallLists(GLsizei n, GLenum type, const GLvoid* names) {
  if (n < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  if (type != GL_BYTE && type != GL_UNSIGNED_BYTE && type != GL_SHORT && type != GL_UNSIGNED_SHORT && type != GL_INT &&
      type != GL_UNSIGNED_INT) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  for (GLsizei k = 0; k < n; ++k) {
    uint32_t offset = 0;
    switch (type) {
      case GL_BYTE: offset = uint32_t(int32_t(static_cast<const GLbyte*>(names)[k])); break;
      case GL_UNSIGNED_BYTE: offset = static_cast<const GLubyte*>(names)[k]; break;
      case GL_SHORT: offset = uint32_t(int32_t(static_cast<const GLshort*>(names)[k])); break;
      case GL_UNSIGNED_SHORT: offset = static_cast<const GLushort*>(names)[k]; break;
      case GL_INT: offset = uint32_t(static_cast<const GLint*>(names)[k]); break;
      default: offset = static_cast<const GLuint*>(names)[k]; break;
    }
    // The base is added when the call runs, also when it runs from a list.
    Submit(Make(Op::CallList, offset, 1));
  }
}

void Gl11ListBase(GLuint base) { Submit(Make(Op::ListBase, base)); }

void Gl11DeleteLists(GLuint list, GLsizei range) {
  if (range < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  for (GLsizei k = 0; k < range; ++k) {
    const GLuint name = list + GLuint(k);
    if (name == 0 || name >= lists.size()) continue;
    ReleaseCommands(lists[name].commands);
    lists[name].exists = false;
  }
}

GLboolean Gl11IsList(GLuint list) { return list < lists.size() && lists[list].exists ? GL_TRUE : GL_FALSE; }

void Gl11TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                    GLenum format, GLenum type, const GLvoid* pixels) {
  GLenum failure = GL_NO_ERROR;
  const int image = MakeImage(target, level, internalformat, width, height, border, format, type, pixels, failure);
  if (image < 0) {
    Submit(Make(Op::Error, failure));
    return;
  }
  // A list that records the upload holds the image, and so does the default
  // texture once the upload runs; held here for the call, it goes when neither does.
  Retain(image);
  if (compiling) Retain(image);
  Submit(Make(Op::TexImage, uint32_t(image)));
  Release(image);
}

void Gl11TexParameteri(GLenum target, GLenum pname, GLint param) {
  if (target != GL_TEXTURE_2D || !ValidTexParameter(pname, param)) {
    Submit(Make(Op::Error, GL_INVALID_ENUM));
    return;
  }
  Submit(Make(Op::TexParameter, pname, uint32_t(param)));
}

void Gl11GetTexParameteriv(GLenum target, GLenum pname, GLint* params) {
  if (target != GL_TEXTURE_2D) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  switch (pname) {
    case GL_TEXTURE_MIN_FILTER: *params = textureParams.minFilter; return;
    case GL_TEXTURE_MAG_FILTER: *params = textureParams.magFilter; return;
    case GL_TEXTURE_WRAP_S: *params = textureParams.wrapS; return;
    case GL_TEXTURE_WRAP_T: *params = textureParams.wrapT; return;
    default: SetError(GL_INVALID_ENUM); return;
  }
}

void Gl11GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params) {
  if (target != GL_TEXTURE_2D) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  const Image* i = level == 0 && textureImage >= 0 ? &images[size_t(textureImage)] : nullptr;
  switch (pname) {
    case GL_TEXTURE_WIDTH: *params = i ? i->width : 0; return;
    case GL_TEXTURE_HEIGHT: *params = i ? i->height : 0; return;
    case GL_TEXTURE_INTERNAL_FORMAT: *params = i ? GLint(i->baseFormat) : 1; return;
    default: SetError(GL_INVALID_ENUM); return;
  }
}

void Gl11GetTexImage(GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels) {
  if (target != GL_TEXTURE_2D || !ValidReadFormat(format, type)) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (level != 0 || textureImage < 0) return;
  const Image& i = images[size_t(textureImage)];
  WritePixels(i.rgba.data(), i.width, i.height, format, pixels);
}

void Gl11PixelStorei(GLenum pname, GLint param) {
  if (pname != GL_UNPACK_ALIGNMENT && pname != GL_PACK_ALIGNMENT) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (param != 1 && param != 2 && param != 4 && param != 8) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  (pname == GL_UNPACK_ALIGNMENT ? unpackAlignment : packAlignment) = param;
}

void Gl11ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels) {
  if (!ValidReadFormat(format, type)) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (width < 0 || height < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  FlushQueue();
  if (!started || width == 0 || height == 0) return;
  // ES reads RGBA bytes only.
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  WritePixels(rgba.data(), width, height, format, pixels);
}

void Gl11GetIntegerv(GLenum pname, GLint* params) {
  switch (pname) {
    case GL_UNPACK_ALIGNMENT: *params = unpackAlignment; return;
    case GL_PACK_ALIGNMENT: *params = packAlignment; return;
    case GL_LIST_BASE: *params = GLint(listBase); return;
    case GL_LIST_INDEX: *params = compiling ? GLint(compileName) : 0; return;
    case GL_LIST_MODE: *params = compiling ? GLint(compileMode) : 0; return;
    case GL_MAX_LIST_NESTING: *params = kListNesting; return;
    case GL_MATRIX_MODE: *params = GLint(matrixMode); return;
    case GL_MODELVIEW_STACK_DEPTH: *params = modelviewTop + 1; return;
    case GL_PROJECTION_STACK_DEPTH: *params = projectionTop + 1; return;
    case GL_MAX_MODELVIEW_STACK_DEPTH:
    case GL_MAX_PROJECTION_STACK_DEPTH: *params = kMatrixDepth; return;
    case GL_ATTRIB_STACK_DEPTH: *params = attribTop + 1; return;
    case GL_MAX_ATTRIB_STACK_DEPTH: *params = kAttribDepth; return;
    case GL_BLEND_SRC: *params = GLint(blendSrc); return;
    case GL_BLEND_DST: *params = GLint(blendDst); return;
    case GL_TEXTURE_BINDING_2D: *params = 0; return;
    case GL_VIEWPORT: std::memcpy(params, viewport, sizeof viewport); return;
    default: {
      const bool* flag = Capability(pname);
      if (flag) {
        *params = *flag ? 1 : 0;
        return;
      }
      SetError(GL_INVALID_ENUM);
      return;
    }
  }
}

void Gl11GetFloatv(GLenum pname, GLfloat* params) {
  switch (pname) {
    case GL_CURRENT_COLOR: std::memcpy(params, colour, sizeof colour); return;
    case GL_CURRENT_TEXTURE_COORDS:
      params[0] = texCoord[0];
      params[1] = texCoord[1];
      params[2] = 0.0f;
      params[3] = 1.0f;
      return;
    case GL_COLOR_CLEAR_VALUE: std::memcpy(params, clearColour, sizeof clearColour); return;
    case GL_MODELVIEW_MATRIX: std::memcpy(params, modelview[modelviewTop].m, sizeof(Matrix)); return;
    case GL_PROJECTION_MATRIX: std::memcpy(params, projection[projectionTop].m, sizeof(Matrix)); return;
    case GL_VIEWPORT:
      for (int k = 0; k < 4; ++k) params[k] = GLfloat(viewport[k]);
      return;
    default: {
      // The integer states, converted.
      const GLenum before = error;
      error = GL_NO_ERROR;
      GLint value = 0;
      Gl11GetIntegerv(pname, &value);
      const bool failed = error != GL_NO_ERROR;
      if (before != GL_NO_ERROR) error = before;
      if (!failed) *params = GLfloat(value);
      return;
    }
  }
}

GLenum Gl11GetError() {
  if (error != GL_NO_ERROR) {
    const GLenum e = error;
    error = GL_NO_ERROR;
    return e;
  }
  return started ? glGetError() : GLenum(GL_NO_ERROR);
}

void Gl11Flush() {
  FlushQueue();
  if (started) glFlush();
}

void Gl11Finish() {
  FlushQueue();
  if (started) glFinish();
}
