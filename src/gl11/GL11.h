// The fixed-function OpenGL 1.1 the game draws with, on OpenGL ES 3.0 (WebGL 2 in
// the browser, an ES 3 context natively), so the drawing code runs unchanged
// where only ES exists.
//
// How to use it: start the layer in the context (StartGl11), which installs it
// as the game's OpenGL table (gl11/GlTable.h), and draw through the table as
// usual (platform/OpenGL.h). Each call glName below is the layer's Gl11Name; the names differ from ES's
// own, so nothing clashes with libGLESv2's symbols. The layer's private header,
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
//      initial value (GL's, not ES's), there are no display lists, and the
//      game's gl* calls come to the layer;
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

#include "gl11/GlTable.h"
#include "gl11/GlTypes.h"

// After an ES 3 context has been made current: builds the layer's program and
// buffers, puts every GL 1.1 state to its initial value and installs the
// layer's OpenGL table (each glName to Gl11Name). On failure returns false,
// with a one-line reason in `error` when one is given (the context lacks ES 3,
// a shader did not compile), and the layer stays stopped: nothing is drawn, and
// the installed table is left as it was.
bool StartGl11(char* error = nullptr, int errorSize = 0);
// The same, but nothing is installed: for a caller that gets the game's calls
// on another thread than this context's and runs them here through the
// layer's table, Gl11Table() (the Linux render thread, whose queue is the
// installed table). The layer is still one context on one thread: this one.
bool StartGl11Uninstalled(char* error = nullptr, int errorSize = 0);
// Each call of the game's table (gl11/GlTable.h) to the layer's Gl11 function.
GlTable Gl11Table();
// Before the context is released or destroyed, with it still current: deletes
// the layer's ES objects, every display list and image. Safe to call when the
// layer was never started.
void StopGl11();

// A page shows its canvas at whatever size it has room for, while the game
// draws its fixed view. StartGl11InFrame starts the layer as StartGl11 does,
// but drawing into a frame of its own of width x height (colour and a 16-bit
// depth buffer) rather than the context's framebuffer, which then needs no
// depth: every draw, clear, viewport and read-back is the frame's, and the
// initial viewport is the whole frame. In place of the flush before a frame
// is presented, ShowGl11Frame draws the frame into the context's framebuffer
// at width x height pixels, at least the frame's size: each pixel has the
// frame's colours in the shares of its area they cover, so a stroke shows with
// one weight wherever it lies, an edge is soft over one pixel at most, and a
// whole multiple repeats every pixel exactly. It may show the same frame again
// at another size, with no new frame drawn. Without a frame of its own it only
// flushes.
bool StartGl11InFrame(GLsizei width, GLsizei height, char* error = nullptr, int errorSize = 0);
void ShowGl11Frame(GLsizei width, GLsizei height);

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
