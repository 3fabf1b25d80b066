// Every OpenGL 1.1 call the game and its tests make, once: the table of
// GlTable.h, each filling of it and each header that maps names onto it are
// made from this list, so a call cannot be in one and missing from another.
//
// X(Result, Name, Parameters, Arguments): the call glName.
#pragma once

#include "gl11/GlTypes.h"

#define QUARN_GL_CALLS(X)                                                                                      \
  X(void, Begin, (GLenum mode), (mode))                                                                        \
  X(void, End, (), ())                                                                                         \
  X(void, Vertex2i, (GLint x, GLint y), (x, y))                                                                \
  X(void, Vertex2f, (GLfloat x, GLfloat y), (x, y))                                                            \
  X(void, TexCoord2f, (GLfloat s, GLfloat t), (s, t))                                                          \
  X(void, Color3f, (GLfloat red, GLfloat green, GLfloat blue), (red, green, blue))                             \
  X(void, Color3fv, (const GLfloat* v), (v))                                                                   \
  X(void, Enable, (GLenum cap), (cap))                                                                         \
  X(void, Disable, (GLenum cap), (cap))                                                                        \
  X(GLboolean, IsEnabled, (GLenum cap), (cap))                                                                 \
  X(void, BlendFunc, (GLenum sfactor, GLenum dfactor), (sfactor, dfactor))                                     \
  X(void, ClearColor, (GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha), (red, green, blue, alpha)) \
  X(void, Clear, (GLbitfield mask), (mask))                                                                    \
  X(void, Viewport, (GLint x, GLint y, GLsizei width, GLsizei height), (x, y, width, height))                   \
  X(void, PushAttrib, (GLbitfield mask), (mask))                                                               \
  X(void, PopAttrib, (), ())                                                                                   \
  X(void, MatrixMode, (GLenum mode), (mode))                                                                   \
  X(void, LoadIdentity, (), ())                                                                                \
  X(void, PushMatrix, (), ())                                                                                  \
  X(void, PopMatrix, (), ())                                                                                   \
  X(void, Ortho, (GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar), \
    (left, right, bottom, top, zNear, zFar))                                                                   \
  X(void, Translatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                            \
  X(void, Translated, (GLdouble x, GLdouble y, GLdouble z), (x, y, z))                                         \
  X(void, Scalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                                \
  X(GLuint, GenLists, (GLsizei range), (range))                                                                \
  X(void, NewList, (GLuint list, GLenum mode), (list, mode))                                                   \
  X(void, EndList, (), ())                                                                                     \
  X(void, CallList, (GLuint list), (list))                                                                     \
  X(void, CallLists, (GLsizei n, GLenum type, const GLvoid* lists), (n, type, lists))                          \
  X(void, ListBase, (GLuint base), (base))                                                                     \
  X(void, DeleteLists, (GLuint list, GLsizei range), (list, range))                                            \
  X(GLboolean, IsList, (GLuint list), (list))                                                                  \
  X(void, TexImage2D,                                                                                          \
    (GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,             \
     GLenum format, GLenum type, const GLvoid* pixels),                                                        \
    (target, level, internalformat, width, height, border, format, type, pixels))                              \
  X(void, TexParameteri, (GLenum target, GLenum pname, GLint param), (target, pname, param))                   \
  X(void, GetTexParameteriv, (GLenum target, GLenum pname, GLint* params), (target, pname, params))            \
  X(void, GetTexLevelParameteriv, (GLenum target, GLint level, GLenum pname, GLint* params),                   \
    (target, level, pname, params))                                                                            \
  X(void, GetTexImage, (GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels),               \
    (target, level, format, type, pixels))                                                                     \
  X(void, PixelStorei, (GLenum pname, GLint param), (pname, param))                                            \
  X(void, ReadPixels,                                                                                          \
    (GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels),             \
    (x, y, width, height, format, type, pixels))                                                               \
  X(void, GetIntegerv, (GLenum pname, GLint* params), (pname, params))                                         \
  X(void, GetFloatv, (GLenum pname, GLfloat* params), (pname, params))                                         \
  X(GLenum, GetError, (), ())                                                                                  \
  X(void, Flush, (), ())                                                                                       \
  X(void, Finish, (), ())
