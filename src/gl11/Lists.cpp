// The commands and display lists. Every drawing and state call becomes a
// Command, which is submitted: recorded while a list is being compiled
// (GL_COMPILE), run otherwise; calling a list runs its commands. Gets,
// glGenLists, glDeleteLists, glIsList, glPixelStorei, glReadPixels, glFlush and
// glFinish run at once, as in GL. A recorded upload holds its image, so calling
// the list costs no copy.
#include "gl11/Gl11Context.h"

namespace gl11 {

namespace {

void Run(const Command& command);

void CallList(GLuint name) {
  Context& c = context;
  if (name >= c.lists.size() || !c.lists[name].exists) return;
  // A list that calls itself, directly or not, stops at GL's nesting limit.
  if (c.listCallDepth >= kListNesting) return;
  ++c.listCallDepth;
  // Nothing a list holds can add or remove lists, so the vector stays put.
  const std::vector<Command>& commands = c.lists[name].commands;
  for (size_t k = 0; k < commands.size(); ++k) Run(commands[k]);
  --c.listCallDepth;
}

void Run(const Command& command) {
  Context& c = context;
  const uint32_t* i = command.ints;
  const float* f = command.floats;
  // Only these may come between glBegin and glEnd.
  if (c.inBegin && command.op != Op::Vertex && command.op != Op::TexCoord && command.op != Op::Color &&
      command.op != Op::CallList && command.op != Op::End) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  switch (command.op) {
    case Op::Begin: BeginPrimitive(i[0]); return;
    case Op::End: EndPrimitive(); return;
    case Op::Vertex: AddVertex(f[0], f[1]); return;
    case Op::TexCoord:
      c.texCoord[0] = f[0];
      c.texCoord[1] = f[1];
      return;
    case Op::Color: std::memcpy(c.colour, f, sizeof c.colour); return;
    case Op::Enable: SetCapability(i[0], true); return;
    case Op::Disable: SetCapability(i[0], false); return;
    case Op::BlendFunc: SetBlendFunc(i[0], i[1]); return;
    case Op::ClearColor: SetClearColour(f); return;
    case Op::Clear: Clear(i[0]); return;
    case Op::Viewport: SetViewport(GLint(i[0]), GLint(i[1]), GLsizei(i[2]), GLsizei(i[3])); return;
    case Op::PushAttrib: PushAttrib(i[0]); return;
    case Op::PopAttrib: PopAttrib(); return;
    case Op::MatrixMode: SetMatrixMode(i[0]); return;
    case Op::LoadIdentity: LoadIdentityMatrix(); return;
    case Op::PushMatrix: PushMatrix(); return;
    case Op::PopMatrix: PopMatrix(); return;
    case Op::Ortho: OrthoMatrix(f[0], f[1], f[2], f[3], f[4], f[5]); return;
    case Op::Translate: TranslateMatrix(f[0], f[1], f[2]); return;
    case Op::Scale: ScaleMatrix(f[0], f[1], f[2]); return;
    // ints[1]: the name is an offset from the list base when the call runs (glCallLists).
    case Op::CallList: CallList(i[1] ? c.listBase + i[0] : i[0]); return;
    case Op::ListBase: c.listBase = i[0]; return;
    case Op::TexImage: BindImage(int(i[0])); return;
    case Op::TexParameter: SetTexParameter(i[0], GLint(i[1])); return;
    case Op::Error: SetError(i[0]); return;
  }
}

}  // namespace

Command MakeCommand(Op op, uint32_t int0, uint32_t int1) {
  Command command;
  std::memset(&command, 0, sizeof command);
  command.op = op;
  command.ints[0] = int0;
  command.ints[1] = int1;
  return command;
}

Command MakeFloatCommand(Op op, float float0, float float1, float float2, float float3) {
  Command command = MakeCommand(op);
  command.floats[0] = float0;
  command.floats[1] = float1;
  command.floats[2] = float2;
  command.floats[3] = float3;
  return command;
}

void Submit(const Command& command) {
  if (context.compiling)
    context.compiledCommands.push_back(command);
  else
    Run(command);
}

}  // namespace gl11

using namespace gl11;

void Gl11Begin(GLenum mode) { Submit(MakeCommand(Op::Begin, mode)); }
void Gl11End() { Submit(MakeCommand(Op::End)); }
void Gl11Vertex2i(GLint x, GLint y) { Submit(MakeFloatCommand(Op::Vertex, float(x), float(y))); }
void Gl11Vertex2f(GLfloat x, GLfloat y) { Submit(MakeFloatCommand(Op::Vertex, x, y)); }
void Gl11TexCoord2f(GLfloat s, GLfloat t) { Submit(MakeFloatCommand(Op::TexCoord, s, t)); }
void Gl11Color3f(GLfloat r, GLfloat g, GLfloat b) { Submit(MakeFloatCommand(Op::Color, r, g, b, 1.0f)); }
void Gl11Color3fv(const GLfloat* v) { Submit(MakeFloatCommand(Op::Color, v[0], v[1], v[2], 1.0f)); }

void Gl11Enable(GLenum cap) { Submit(MakeCommand(Op::Enable, cap)); }
void Gl11Disable(GLenum cap) { Submit(MakeCommand(Op::Disable, cap)); }
void Gl11BlendFunc(GLenum sfactor, GLenum dfactor) { Submit(MakeCommand(Op::BlendFunc, sfactor, dfactor)); }
void Gl11ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  Submit(MakeFloatCommand(Op::ClearColor, r, g, b, a));
}
void Gl11Clear(GLbitfield mask) { Submit(MakeCommand(Op::Clear, mask)); }

void Gl11Viewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  Command command = MakeCommand(Op::Viewport, uint32_t(x), uint32_t(y));
  command.ints[2] = uint32_t(width);
  command.ints[3] = uint32_t(height);
  Submit(command);
}

void Gl11PushAttrib(GLbitfield mask) { Submit(MakeCommand(Op::PushAttrib, mask)); }
void Gl11PopAttrib() { Submit(MakeCommand(Op::PopAttrib)); }

void Gl11MatrixMode(GLenum mode) { Submit(MakeCommand(Op::MatrixMode, mode)); }
void Gl11LoadIdentity() { Submit(MakeCommand(Op::LoadIdentity)); }
void Gl11PushMatrix() { Submit(MakeCommand(Op::PushMatrix)); }
void Gl11PopMatrix() { Submit(MakeCommand(Op::PopMatrix)); }

void Gl11Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
  Command command = MakeFloatCommand(Op::Ortho, float(left), float(right), float(bottom), float(top));
  command.floats[4] = float(zNear);
  command.floats[5] = float(zFar);
  Submit(command);
}

void Gl11Translatef(GLfloat x, GLfloat y, GLfloat z) { Submit(MakeFloatCommand(Op::Translate, x, y, z)); }
void Gl11Translated(GLdouble x, GLdouble y, GLdouble z) {
  Submit(MakeFloatCommand(Op::Translate, float(x), float(y), float(z)));
}
void Gl11Scalef(GLfloat x, GLfloat y, GLfloat z) { Submit(MakeFloatCommand(Op::Scale, x, y, z)); }

GLuint Gl11GenLists(GLsizei range) {
  if (range < 0) {
    SetError(GL_INVALID_VALUE);
    return 0;
  }
  if (range == 0) return 0;
  std::vector<List>& lists = context.lists;
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
  if (mode != GL_COMPILE) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (context.compiling || context.inBegin) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  context.compiling = true;
  context.compilingList = list;
  context.compiledCommands.clear();
}

void Gl11EndList() {
  Context& c = context;
  if (!c.compiling) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  c.compiling = false;
  if (c.lists.size() <= c.compilingList) c.lists.resize(size_t(c.compilingList) + 1);
  List& l = c.lists[c.compilingList];
  ReleaseCommands(l.commands);
  l.exists = true;
  l.commands.swap(c.compiledCommands);
  c.compiledCommands.clear();
}

void Gl11CallList(GLuint list) { Submit(MakeCommand(Op::CallList, list, 0)); }

void Gl11CallLists(GLsizei n, GLenum type, const GLvoid* names) {
  if (n < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  if (type != GL_BYTE) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  for (GLsizei k = 0; k < n; ++k) {
    const uint32_t offset = uint32_t(int32_t(static_cast<const GLbyte*>(names)[k]));
    // The base is added when the call runs, also when it runs from a list.
    Submit(MakeCommand(Op::CallList, offset, 1));
  }
}

void Gl11ListBase(GLuint base) { Submit(MakeCommand(Op::ListBase, base)); }

void Gl11DeleteLists(GLuint list, GLsizei range) {
  if (range < 0) {
    SetError(GL_INVALID_VALUE);
    return;
  }
  std::vector<List>& lists = context.lists;
  for (GLsizei k = 0; k < range; ++k) {
    const GLuint name = list + GLuint(k);
    if (name == 0 || name >= lists.size()) continue;
    ReleaseCommands(lists[name].commands);
    lists[name].exists = false;
  }
}

GLboolean Gl11IsList(GLuint list) {
  return list < context.lists.size() && context.lists[list].exists ? GL_TRUE : GL_FALSE;
}
