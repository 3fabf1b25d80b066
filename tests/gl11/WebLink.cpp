// Linked by web-link.sh for WebGL 2. Every entry point of the layer is called, so
// the link keeps all of its ES calls and one that WebGL 2 lacks is an undefined
// symbol. Never run.
#include "gl11/GL11.h"
#include "platform/OpenGL.h"

int main() {
  char error[128];
  if (!StartGl11(error, sizeof error)) return 1;
  const GLubyte texels[4] = {1, 2, 3, 4};
  const GLbyte text[2] = {33, 34};
  GLint i[16];
  GLfloat f[16];
  GLubyte read[16];
  const GLuint list = glGenLists(2);
  glNewList(list, GL_COMPILE);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glEndList();
  glCallList(list);
  glListBase(list);
  glCallLists(2, GL_BYTE, text);
  glViewport(0, 0, 8, 8);
  glClearColor(0.0f, 0.5f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 8, 8, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glTranslatef(1.0f, 1.0f, 0.0f);
  glTranslated(1.0, 1.0, 0.0);
  glScalef(1.0f, -1.0f, 1.0f);
  glPushAttrib(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(0, 0);
  glVertex2f(0.0f, 4.0f);
  glColor3fv(f);
  glVertex2i(4, 4);
  glVertex2i(4, 0);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  glPopAttrib();
  glPopMatrix();
  glIsEnabled(GL_BLEND);
  glIsList(list);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, i);
  glGetFloatv(GL_MODELVIEW_MATRIX, f);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, i);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, i);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read);
  glReadPixels(0, 0, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, read);
  glFlush();
  glFinish();
  glDeleteLists(list, 2);
  const GLenum e = glGetError();
  StopGl11();
  return e == GL_NO_ERROR ? 0 : 2;
}
