#include "platform/OpenGL.h"

#include "platform/RenderWindow.h"

void ResizeView(int32_t width, int32_t height) {
  if (height == 0) height = 1;  // a minimised window reports a zero height
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
