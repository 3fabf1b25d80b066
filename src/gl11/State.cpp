// What the state commands do to the context, with GL 1.1's checks and errors:
// the capabilities, blending, the clear colour and clear, the viewport, the
// attribute stack and the matrix stacks. They run when their command runs, at
// once or from a list (Lists.cpp).
#include "gl11/Gl11Context.h"

namespace gl11 {

namespace {

bool ValidBlendFactor(GLenum f) {
  return f == GL_ZERO || f == GL_ONE || (f >= GL_SRC_COLOR && f <= GL_SRC_ALPHA_SATURATE);
}

Matrix& CurrentMatrix() {
  Context& c = context;
  return c.matrixMode == GL_PROJECTION ? c.projection[c.projectionTop] : c.modelview[c.modelviewTop];
}

}  // namespace

bool* Capability(GLenum cap) {
  switch (cap) {
    case GL_TEXTURE_2D: return &context.texturing;
    case GL_BLEND: return &context.raster.blend.on;
    case GL_DEPTH_TEST: return &context.raster.depthTest;
    case GL_CULL_FACE: return &context.raster.cullFace;
    default: return nullptr;
  }
}

void SetCapability(GLenum cap, bool on) {
  bool* flag = Capability(cap);
  if (!flag) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  *flag = on;
}

void SetBlendFunc(GLenum sfactor, GLenum dfactor) {
  if (!ValidBlendFactor(sfactor) || !ValidBlendFactor(dfactor)) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  context.raster.blend.src = sfactor;
  context.raster.blend.dst = dfactor;
}

void SetClearColour(const float rgba[4]) {
  for (int k = 0; k < 4; ++k) context.clearColour[k] = rgba[k] < 0.0f ? 0.0f : rgba[k] > 1.0f ? 1.0f : rgba[k];
}

void SetViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (width < 0 || height < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  GLint* viewport = context.raster.viewport;
  viewport[0] = x;
  viewport[1] = y;
  viewport[2] = width;
  viewport[3] = height;
}

void Clear(GLbitfield mask) {
  if (mask & ~GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  if (mask) QueueClear(mask);
}

// Only GL_COLOR_BUFFER_BIT's state is saved (the only group the game pushes);
// another bit is an error, and the frame is pushed all the same so that pops
// stay paired with pushes.
void PushAttrib(GLbitfield mask) {
  Context& c = context;
  if (mask & ~GLbitfield(GL_COLOR_BUFFER_BIT)) SetError(GL_INVALID_VALUE);
  if (c.attribTop + 1 >= kAttribDepth) {
    SetError(GL_STACK_OVERFLOW);
    return;
  }
  AttribFrame& a = c.attribStack[++c.attribTop];
  a.blend = c.raster.blend;
  std::memcpy(a.clearColour, c.clearColour, sizeof a.clearColour);
}

void PopAttrib() {
  Context& c = context;
  if (c.attribTop < 0) {
    SetError(GL_STACK_UNDERFLOW);
    return;
  }
  const AttribFrame& a = c.attribStack[c.attribTop--];
  c.raster.blend = a.blend;
  std::memcpy(c.clearColour, a.clearColour, sizeof c.clearColour);
}

void SetMatrixMode(GLenum mode) {
  if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  context.matrixMode = mode;
}

void LoadIdentityMatrix() {
  Identity(CurrentMatrix());
  context.mvpDirty = true;
}

void PushMatrix() {
  Context& c = context;
  int& top = c.matrixMode == GL_PROJECTION ? c.projectionTop : c.modelviewTop;
  Matrix* stack = c.matrixMode == GL_PROJECTION ? c.projection : c.modelview;
  if (top + 1 >= kMatrixDepth) {
    SetError(GL_STACK_OVERFLOW);
    return;
  }
  stack[top + 1] = stack[top];
  ++top;
}

void PopMatrix() {
  Context& c = context;
  int& top = c.matrixMode == GL_PROJECTION ? c.projectionTop : c.modelviewTop;
  if (top == 0) {
    SetError(GL_STACK_UNDERFLOW);
    return;
  }
  --top;
  c.mvpDirty = true;
}

void OrthoMatrix(float left, float right, float bottom, float top, float zNear, float zFar) {
  if (left == right || bottom == top || zNear == zFar) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  MultiplyOrtho(CurrentMatrix(), left, right, bottom, top, zNear, zFar);
  context.mvpDirty = true;
}

void TranslateMatrix(float x, float y, float z) {
  Translate(CurrentMatrix(), x, y, z);
  context.mvpDirty = true;
}

void ScaleMatrix(float x, float y, float z) {
  Scale(CurrentMatrix(), x, y, z);
  context.mvpDirty = true;
}

const Matrix& Mvp() {
  Context& c = context;
  if (c.mvpDirty) {
    Multiply(c.mvp, c.projection[c.projectionTop], c.modelview[c.modelviewTop]);
    c.mvpDirty = false;
  }
  return c.mvp;
}

}  // namespace gl11
