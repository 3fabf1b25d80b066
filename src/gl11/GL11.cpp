// The GL 1.1 context: its one Context, the state commands (run at once or from
// a list), the attribute and matrix stacks, and the gets.
#include "gl11/Gl11Context.h"

namespace gl11 {

Context context;

namespace {

bool* Capability(GLenum cap) {
  switch (cap) {
    case GL_TEXTURE_2D: return &context.texture2d;
    case GL_BLEND: return &context.raster.blend.on;
    case GL_DEPTH_TEST: return &context.raster.depthTest;
    case GL_CULL_FACE: return &context.raster.cullFace;
    default: return nullptr;
  }
}

bool ValidBlendFactor(GLenum f) {
  return f == GL_ZERO || f == GL_ONE || (f >= GL_SRC_COLOR && f <= GL_SRC_ALPHA_SATURATE);
}

Matrix& Top() {
  Context& c = context;
  return c.matrixMode == GL_PROJECTION ? c.projection[c.projectionTop] : c.modelview[c.modelviewTop];
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

void Clear(GLbitfield mask) {
  if (mask & ~GLbitfield(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  if (mask) QueueClear(mask);
}

}  // namespace

void SetError(GLenum e) {
  if (context.error == GL_NO_ERROR) context.error = e;
}

void ResetState() {
  context = Context();
  Identity(context.modelview[0]);
  Identity(context.projection[0]);
}

const Matrix& Mvp() {
  Context& c = context;
  if (c.mvpDirty) {
    Multiply(c.mvp, c.projection[c.projectionTop], c.modelview[c.modelviewTop]);
    c.mvpDirty = false;
  }
  return c.mvp;
}

void Run(const Command& c) {
  Context& s = context;
  // Only these may come between glBegin and glEnd.
  if (s.inBegin && c.op != Op::Vertex && c.op != Op::TexCoord && c.op != Op::Color && c.op != Op::CallList &&
      c.op != Op::End) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  switch (c.op) {
    case Op::Begin: BeginPrimitive(c.u[0]); return;
    case Op::End: EndPrimitive(); return;
    case Op::Vertex: AddVertex(c.f[0], c.f[1]); return;
    case Op::TexCoord:
      s.texCoord[0] = c.f[0];
      s.texCoord[1] = c.f[1];
      return;
    case Op::Color: std::memcpy(s.colour, c.f, sizeof s.colour); return;
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
      s.raster.blend.src = c.u[0];
      s.raster.blend.dst = c.u[1];
      return;
    case Op::ClearColor:
      for (int k = 0; k < 4; ++k) s.clearColour[k] = c.f[k] < 0.0f ? 0.0f : c.f[k] > 1.0f ? 1.0f : c.f[k];
      return;
    case Op::Clear: Clear(c.u[0]); return;
    case Op::Viewport:
      if (int32_t(c.u[2]) < 0 || int32_t(c.u[3]) < 0) {
        SetError(GL_INVALID_VALUE);
        return;
      }
      for (int k = 0; k < 4; ++k) s.raster.viewport[k] = GLint(c.u[k]);
      return;
    case Op::PushAttrib: PushAttrib(c.u[0]); return;
    case Op::PopAttrib: PopAttrib(); return;
    case Op::MatrixMode:
      if (c.u[0] != GL_MODELVIEW && c.u[0] != GL_PROJECTION) {
        SetError(GL_INVALID_ENUM);
        return;
      }
      s.matrixMode = c.u[0];
      return;
    case Op::LoadIdentity:
      Identity(Top());
      s.mvpDirty = true;
      return;
    case Op::PushMatrix: PushMatrix(); return;
    case Op::PopMatrix: PopMatrix(); return;
    case Op::Ortho:
      if (c.f[0] == c.f[1] || c.f[2] == c.f[3] || c.f[4] == c.f[5]) {
        SetError(GL_INVALID_VALUE);
        return;
      }
      MultiplyOrtho(Top(), c.f[0], c.f[1], c.f[2], c.f[3], c.f[4], c.f[5]);
      s.mvpDirty = true;
      return;
    case Op::Translate:
      Translate(Top(), c.f[0], c.f[1], c.f[2]);
      s.mvpDirty = true;
      return;
    case Op::Scale:
      Scale(Top(), c.f[0], c.f[1], c.f[2]);
      s.mvpDirty = true;
      return;
    case Op::CallList: CallList(c.u[1] ? s.listBase + c.u[0] : c.u[0]); return;
    case Op::ListBase: s.listBase = c.u[0]; return;
    case Op::TexImage: BindImage(int(c.u[0])); return;
    case Op::TexParameter: SetTexParameter(c.u[0], GLint(c.u[1])); return;
    case Op::Error: SetError(c.u[0]); return;
  }
}

}  // namespace gl11

using namespace gl11;

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

void Gl11GetIntegerv(GLenum pname, GLint* params) {
  const Context& c = context;
  switch (pname) {
    case GL_UNPACK_ALIGNMENT: *params = c.unpackAlignment; return;
    case GL_LIST_BASE: *params = GLint(c.listBase); return;
    case GL_MATRIX_MODE: *params = GLint(c.matrixMode); return;
    case GL_BLEND_SRC: *params = GLint(c.raster.blend.src); return;
    case GL_BLEND_DST: *params = GLint(c.raster.blend.dst); return;
    case GL_TEXTURE_BINDING_2D: *params = 0; return;
    default: SetError(GL_INVALID_ENUM); return;
  }
}

void Gl11GetFloatv(GLenum pname, GLfloat* params) {
  const Context& c = context;
  switch (pname) {
    case GL_CURRENT_COLOR: std::memcpy(params, c.colour, sizeof c.colour); return;
    case GL_MODELVIEW_MATRIX: std::memcpy(params, c.modelview[c.modelviewTop].m, sizeof(Matrix)); return;
    case GL_PROJECTION_MATRIX: std::memcpy(params, c.projection[c.projectionTop].m, sizeof(Matrix)); return;
    default: SetError(GL_INVALID_ENUM); return;
  }
}

GLenum Gl11GetError() {
  if (context.error != GL_NO_ERROR) {
    const GLenum e = context.error;
    context.error = GL_NO_ERROR;
    return e;
  }
  return context.started ? EsError() : GLenum(GL_NO_ERROR);
}

void Gl11Flush() {
  FlushQueue();
  if (context.started) EsFlush(false);
}

void Gl11Finish() {
  FlushQueue();
  if (context.started) EsFlush(true);
}
