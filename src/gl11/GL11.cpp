// The layer's core: its one Context, its errors, starting and stopping it in a
// context (and with that, making it the game's OpenGL), the gets, glFlush,
// glFinish and showing the frame of its own.
#include "gl11/Gl11Context.h"
#include "gl11/GlTable.h"

namespace gl11 {

Context context;

void SetError(GLenum e) {
  if (context.error == GL_NO_ERROR) context.error = e;
}

void ResetState() {
  context = Context();
  Identity(context.modelview[0]);
  Identity(context.projection[0]);
}

}  // namespace gl11

using namespace gl11;

GlTable Gl11Table() {
  GlTable table;
#define QUARN_GL11_ENTRY(Result, Name, Parameters, Arguments) table.Name = Gl11##Name;
  QUARN_GL_CALLS(QUARN_GL11_ENTRY)
#undef QUARN_GL11_ENTRY
  return table;
}

namespace {

// Starts the layer without making it the game's OpenGL; with a frame of its
// own of width x height when both are above 0.
bool StartLayer(GLsizei width, GLsizei height, char* error, int errorSize) {
  StopGl11();
  if (width > 0 && height > 0 && !EsFrameStart(width, height, error, errorSize)) return false;
  if (!EsStart(context.raster, context.defaultTexture, context.clearColour, error, errorSize)) {
    EsFrameStop();
    return false;
  }
  context.started = true;
  return true;
}

}  // namespace

bool StartGl11Uninstalled(char* error, int errorSize) { return StartLayer(0, 0, error, errorSize); }

bool StartGl11InFrame(GLsizei width, GLsizei height, char* error, int errorSize) {
  if (!StartLayer(width, height, error, errorSize)) return false;
  InstallGlTable(Gl11Table());
  return true;
}

bool StartGl11(char* error, int errorSize) { return StartGl11InFrame(0, 0, error, errorSize); }

void StopGl11() {
  if (context.started) {
    // What is queued is dropped, undrawn, as with a context that goes.
    context.passCount = 0;
    DeleteEsTextures();
    EsStop();
    EsFrameStop();
  }
  ResetState();
}

void ShowGl11Frame(GLsizei width, GLsizei height) {
  FlushQueue();
  if (!context.started) return;
  EsFrameShow(width, height);
  EsFlush(false);
}

GLboolean Gl11IsEnabled(GLenum cap) {
  const bool* flag = Capability(cap);
  if (!flag) {
    SetError(GL_INVALID_ENUM);
    return GL_FALSE;
  }
  return *flag ? GL_TRUE : GL_FALSE;
}

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
