// The fixed-function OpenGL 1.1 the game draws with, on OpenGL ES 3.0 (WebGL 2 in
// the browser, an ES 3 context natively), so the drawing code runs unchanged
// where only ES exists.
//
// How to use it: build with QUARN_GL11_LAYER defined (the quarn_gl11 target
// defines it for everything that links it) and include "platform/OpenGL.h",
// which then includes this header instead of <GL/gl.h>. The gl* names used
// below are macros for the layer's own Gl11* functions, so nothing clashes
// with libGLESv2's symbols. The layer's own source defines
// QUARN_GL11_IMPLEMENTATION to see the Gl11* names only; its private header,
// Gl11Context.h, says which of its files holds what.
//
// The context: an OpenGL ES 3.0 context (WebGL 2: a context made with
// majorVersion 2) with a depth buffer of at least 16 bits. No alpha channel is
// needed; in a page, ask for alpha: false, since texels of a 32-bit image can
// write alpha 0 and a canvas with alpha would show the page through there.
// No stencil, no antialiasing (it would change the pixels). The layer uses only
// ES 3.0 entry points that WebGL 2 has: one program, one vertex array, one
// buffer, one sampler, one texture per uploaded image. It keeps track of the ES
// state it sets, so while it is started nothing else may call ES directly.
//
// Lifecycle, per context:
//   1. make the context current, then StartGl11(): every GL 1.1 state takes its
//      initial value (GL's, not ES's), there are no display lists;
//   2. draw with the gl* calls; before presenting a frame (a buffer swap, or
//      handing the turn back to the browser) call glFlush() or glFinish(): the
//      draws of a frame are queued and reach ES only at a flush, a glReadPixels,
//      or the glClear that starts the next frame (without the flush, each
//      frame would be shown one frame late);
//   3. StopGl11() while the context is still current, before it goes: every
//      display list and texture dies with it, as with a real context.
// Calls outside a Start/Stop pair draw nothing and delete nothing, as GL calls
// without a current context do. One context at a time, one thread.
//
// What there is, with GL 1.1's meaning: what the game and its tests call, and
// nothing more. An enum or bit outside this list is GL_INVALID_ENUM (a bit:
// GL_INVALID_VALUE) and does nothing, though GL11.h still names it.
// - immediate mode: glBegin/glEnd with GL_QUADS, GL_TRIANGLE_STRIP, GL_POLYGON;
//   glVertex2i/2f, glTexCoord2f, glColor3f/3fv. The current colour and texture
//   coordinate go with each vertex, so a colour given once before or inside
//   glBegin colours the whole shape;
// - display lists: glGenLists, glNewList (GL_COMPILE), glEndList, glCallList,
//   glListBase with glCallLists (GL_BYTE), glDeleteLists, glIsList. Every
//   drawing and state call here is compiled into a list; gets, glGenLists,
//   glDeleteLists, glIsList, glPixelStorei, glReadPixels, glFlush and glFinish
//   run at once, as in GL;
// - the default texture (name 0, the only one: no texture objects): glTexImage2D
//   (level 0, border 0, internal format GL_RGBA; formats GL_RGB and GL_RGBA of
//   GL_UNSIGNED_BYTE, any width, unpacked under the GL_UNPACK_ALIGNMENT in force
//   at the call, as GL does when it is compiled into a list; an image without
//   alpha gets alpha 1), glTexParameteri (filters GL_NEAREST and GL_LINEAR, wrap
//   GL_REPEAT). Texture environment GL_MODULATE. A texture that is not complete
//   (no image, or GL's initial minification filter GL_NEAREST_MIPMAP_LINEAR on
//   an image bigger than 1 x 1) leaves primitives untextured, in the current
//   colour, as GL does. A list that records an upload keeps its own ES texture,
//   so calling it costs no re-upload; what any query sees is still GL's
//   default texture;
// - matrices: glMatrixMode (GL_MODELVIEW, GL_PROJECTION), glLoadIdentity,
//   glPushMatrix/glPopMatrix (32 deep each), glOrtho, glTranslatef/d, glScalef,
//   computed in single precision in the same order as Mesa's fixed function,
//   so vertices land on the same window positions as with desktop GL;
// - glEnable/glDisable/glIsEnabled of GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST,
//   GL_CULL_FACE (GL_LESS, depth writes on, back faces culled, front faces
//   counter-clockwise), glBlendFunc, glClearColor, glClear (colour, depth),
//   glViewport;
// - glPushAttrib/glPopAttrib (16 deep) of GL_COLOR_BUFFER_BIT: blend enable,
//   blend function, clear colour (with another bit: GL_INVALID_VALUE, and the
//   frame is pushed all the same, so pops stay paired with pushes);
// - glPixelStorei of GL_UNPACK_ALIGNMENT and GL_PACK_ALIGNMENT; glReadPixels of
//   GL_RGB and GL_RGBA in GL_UNSIGNED_BYTE (read as RGBA from ES and converted);
//   the gets the game's tests use: glGetIntegerv (GL_UNPACK_ALIGNMENT,
//   GL_LIST_BASE, GL_MATRIX_MODE, GL_BLEND_SRC, GL_BLEND_DST,
//   GL_TEXTURE_BINDING_2D), glGetFloatv (GL_CURRENT_COLOR, GL_MODELVIEW_MATRIX,
//   GL_PROJECTION_MATRIX), glGetTexParameteriv (filters, wraps),
//   glGetTexLevelParameteriv (width, height), glGetTexImage (GL_RGB, GL_RGBA),
//   glGetError (the layer's own errors first, then ES's).
#pragma once

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

#define GL_FALSE 0
#define GL_TRUE 1

#define GL_NO_ERROR 0
#define GL_INVALID_ENUM 0x0500
#define GL_INVALID_VALUE 0x0501
#define GL_INVALID_OPERATION 0x0502
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
#define GL_OUT_OF_MEMORY 0x0505

#define GL_BYTE 0x1400
#define GL_UNSIGNED_BYTE 0x1401
#define GL_SHORT 0x1402
#define GL_UNSIGNED_SHORT 0x1403
#define GL_INT 0x1404
#define GL_UNSIGNED_INT 0x1405
#define GL_FLOAT 0x1406

#define GL_POINTS 0x0000
#define GL_LINES 0x0001
#define GL_LINE_LOOP 0x0002
#define GL_LINE_STRIP 0x0003
#define GL_TRIANGLES 0x0004
#define GL_TRIANGLE_STRIP 0x0005
#define GL_TRIANGLE_FAN 0x0006
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009

#define GL_COMPILE 0x1300
#define GL_COMPILE_AND_EXECUTE 0x1301
#define GL_LIST_MODE 0x0B30
#define GL_MAX_LIST_NESTING 0x0B31
#define GL_LIST_BASE 0x0B32
#define GL_LIST_INDEX 0x0B33

#define GL_CURRENT_BIT 0x00000001
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_VIEWPORT_BIT 0x00000800
#define GL_TRANSFORM_BIT 0x00001000
#define GL_ENABLE_BIT 0x00002000
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_LIST_BIT 0x00020000
#define GL_TEXTURE_BIT 0x00040000
#define GL_ALL_ATTRIB_BITS 0xFFFFFFFF
#define GL_ATTRIB_STACK_DEPTH 0x0BB0
#define GL_MAX_ATTRIB_STACK_DEPTH 0x0D35

#define GL_MATRIX_MODE 0x0BA0
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_STACK_DEPTH 0x0BA3
#define GL_PROJECTION_STACK_DEPTH 0x0BA4
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_MAX_MODELVIEW_STACK_DEPTH 0x0D36
#define GL_MAX_PROJECTION_STACK_DEPTH 0x0D38
#define GL_VIEWPORT 0x0BA2

#define GL_CULL_FACE 0x0B44
#define GL_DEPTH_TEST 0x0B71
#define GL_BLEND 0x0BE2
#define GL_TEXTURE_2D 0x0DE1

#define GL_ZERO 0
#define GL_ONE 1
#define GL_SRC_COLOR 0x0300
#define GL_ONE_MINUS_SRC_COLOR 0x0301
#define GL_SRC_ALPHA 0x0302
#define GL_ONE_MINUS_SRC_ALPHA 0x0303
#define GL_DST_ALPHA 0x0304
#define GL_ONE_MINUS_DST_ALPHA 0x0305
#define GL_DST_COLOR 0x0306
#define GL_ONE_MINUS_DST_COLOR 0x0307
#define GL_SRC_ALPHA_SATURATE 0x0308
#define GL_BLEND_DST 0x0BE0
#define GL_BLEND_SRC 0x0BE1

#define GL_CURRENT_COLOR 0x0B00
#define GL_CURRENT_TEXTURE_COORDS 0x0B03
#define GL_COLOR_CLEAR_VALUE 0x0C22

#define GL_UNPACK_ALIGNMENT 0x0CF5
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_RGB8 0x8051
#define GL_RGBA8 0x8058
#define GL_BGR 0x80E0
#define GL_BGRA 0x80E1
#define GL_BGR_EXT 0x80E0
#define GL_BGRA_EXT 0x80E1

#define GL_TEXTURE_WIDTH 0x1000
#define GL_TEXTURE_HEIGHT 0x1001
#define GL_TEXTURE_INTERNAL_FORMAT 0x1003
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803
#define GL_NEAREST 0x2600
#define GL_LINEAR 0x2601
#define GL_NEAREST_MIPMAP_NEAREST 0x2700
#define GL_LINEAR_MIPMAP_NEAREST 0x2701
#define GL_NEAREST_MIPMAP_LINEAR 0x2702
#define GL_LINEAR_MIPMAP_LINEAR 0x2703
#define GL_CLAMP 0x2900
#define GL_REPEAT 0x2901
#define GL_TEXTURE_BINDING_2D 0x8069

// After an ES 3 context has been made current: builds the layer's program and
// buffers and puts every GL 1.1 state to its initial value. On failure returns
// false, with a one-line reason in `error` when one is given (the context lacks
// ES 3, a shader did not compile), and the layer stays stopped: nothing is drawn.
bool StartGl11(char* error = nullptr, int errorSize = 0);
// Before the context is released or destroyed, with it still current: deletes
// the layer's ES objects, every display list and image. Safe to call when the
// layer was never started.
void StopGl11();

void Gl11Begin(GLenum mode);
void Gl11End();
void Gl11Vertex2i(GLint x, GLint y);
void Gl11Vertex2f(GLfloat x, GLfloat y);
void Gl11TexCoord2f(GLfloat s, GLfloat t);
void Gl11Color3f(GLfloat r, GLfloat g, GLfloat b);
void Gl11Color3fv(const GLfloat* v);

void Gl11Enable(GLenum cap);
void Gl11Disable(GLenum cap);
GLboolean Gl11IsEnabled(GLenum cap);
void Gl11BlendFunc(GLenum sfactor, GLenum dfactor);
void Gl11ClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void Gl11Clear(GLbitfield mask);
void Gl11Viewport(GLint x, GLint y, GLsizei width, GLsizei height);
void Gl11PushAttrib(GLbitfield mask);
void Gl11PopAttrib();

void Gl11MatrixMode(GLenum mode);
void Gl11LoadIdentity();
void Gl11PushMatrix();
void Gl11PopMatrix();
void Gl11Ortho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
void Gl11Translatef(GLfloat x, GLfloat y, GLfloat z);
void Gl11Translated(GLdouble x, GLdouble y, GLdouble z);
void Gl11Scalef(GLfloat x, GLfloat y, GLfloat z);

GLuint Gl11GenLists(GLsizei range);
void Gl11NewList(GLuint list, GLenum mode);
void Gl11EndList();
void Gl11CallList(GLuint list);
void Gl11CallLists(GLsizei n, GLenum type, const GLvoid* lists);
void Gl11ListBase(GLuint base);
void Gl11DeleteLists(GLuint list, GLsizei range);
GLboolean Gl11IsList(GLuint list);

void Gl11TexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border,
                    GLenum format, GLenum type, const GLvoid* pixels);
void Gl11TexParameteri(GLenum target, GLenum pname, GLint param);
void Gl11GetTexParameteriv(GLenum target, GLenum pname, GLint* params);
void Gl11GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params);
void Gl11GetTexImage(GLenum target, GLint level, GLenum format, GLenum type, GLvoid* pixels);

void Gl11PixelStorei(GLenum pname, GLint param);
void Gl11ReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels);
void Gl11GetIntegerv(GLenum pname, GLint* params);
void Gl11GetFloatv(GLenum pname, GLfloat* params);
GLenum Gl11GetError();
void Gl11Flush();
void Gl11Finish();

#ifndef QUARN_GL11_IMPLEMENTATION
#define glBegin Gl11Begin
#define glEnd Gl11End
#define glVertex2i Gl11Vertex2i
#define glVertex2f Gl11Vertex2f
#define glTexCoord2f Gl11TexCoord2f
#define glColor3f Gl11Color3f
#define glColor3fv Gl11Color3fv
#define glEnable Gl11Enable
#define glDisable Gl11Disable
#define glIsEnabled Gl11IsEnabled
#define glBlendFunc Gl11BlendFunc
#define glClearColor Gl11ClearColor
#define glClear Gl11Clear
#define glViewport Gl11Viewport
#define glPushAttrib Gl11PushAttrib
#define glPopAttrib Gl11PopAttrib
#define glMatrixMode Gl11MatrixMode
#define glLoadIdentity Gl11LoadIdentity
#define glPushMatrix Gl11PushMatrix
#define glPopMatrix Gl11PopMatrix
#define glOrtho Gl11Ortho
#define glTranslatef Gl11Translatef
#define glTranslated Gl11Translated
#define glScalef Gl11Scalef
#define glGenLists Gl11GenLists
#define glNewList Gl11NewList
#define glEndList Gl11EndList
#define glCallList Gl11CallList
#define glCallLists Gl11CallLists
#define glListBase Gl11ListBase
#define glDeleteLists Gl11DeleteLists
#define glIsList Gl11IsList
#define glTexImage2D Gl11TexImage2D
#define glTexParameteri Gl11TexParameteri
#define glGetTexParameteriv Gl11GetTexParameteriv
#define glGetTexLevelParameteriv Gl11GetTexLevelParameteriv
#define glGetTexImage Gl11GetTexImage
#define glPixelStorei Gl11PixelStorei
#define glReadPixels Gl11ReadPixels
#define glGetIntegerv Gl11GetIntegerv
#define glGetFloatv Gl11GetFloatv
#define glGetError Gl11GetError
#define glFlush Gl11Flush
#define glFinish Gl11Finish
#endif
