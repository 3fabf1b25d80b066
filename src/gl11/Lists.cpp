// Display lists. Every drawing and state call becomes a Command; while a list is
// being compiled (GL_COMPILE) the command is recorded instead of run, and
// calling the list runs its commands. Gets, glGenLists, glDeleteLists,
// glIsList, glPixelStorei, glReadPixels, glFlush and glFinish run at once, as
// in GL. A recorded upload holds its image, so calling the list costs no copy.
#include "gl11/Gl11Context.h"

namespace gl11 {

Command Make(Op op, uint32_t u0, uint32_t u1) {
  Command c;
  std::memset(&c, 0, sizeof c);
  c.op = op;
  c.u[0] = u0;
  c.u[1] = u1;
  return c;
}

Command MakeF(Op op, float f0, float f1, float f2, float f3) {
  Command c = Make(op);
  c.f[0] = f0;
  c.f[1] = f1;
  c.f[2] = f2;
  c.f[3] = f3;
  return c;
}

void Submit(const Command& c) {
  if (context.compiling)
    context.compileCommands.push_back(c);
  else
    Run(c);
}

void CallList(GLuint name) {
  Context& c = context;
  if (name >= c.lists.size() || !c.lists[name].exists) return;
  // A list that calls itself, directly or not, stops at GL's nesting limit.
  if (c.callDepth >= kListNesting) return;
  ++c.callDepth;
  // Nothing a list holds can add or remove lists, so the vector stays put.
  const std::vector<Command>& commands = c.lists[name].commands;
  for (size_t k = 0; k < commands.size(); ++k) Run(commands[k]);
  --c.callDepth;
}

void ReleaseCommands(std::vector<Command>& commands) {
  for (const Command& c : commands)
    if (c.op == Op::TexImage) Release(int(c.u[0]));
  commands.clear();
}

}  // namespace gl11

using namespace gl11;

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
  context.compileName = list;
  context.compileCommands.clear();
}

void Gl11EndList() {
  Context& c = context;
  if (!c.compiling) {
    SetError(GL_INVALID_OPERATION);
    return;
  }
  c.compiling = false;
  if (c.lists.size() <= c.compileName) c.lists.resize(size_t(c.compileName) + 1);
  List& l = c.lists[c.compileName];
  ReleaseCommands(l.commands);
  l.exists = true;
  l.commands.swap(c.compileCommands);
  c.compileCommands.clear();
}

void Gl11CallList(GLuint list) { Submit(Make(Op::CallList, list, 0)); }

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
    Submit(Make(Op::CallList, offset, 1));
  }
}

void Gl11ListBase(GLuint base) { Submit(Make(Op::ListBase, base)); }

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
