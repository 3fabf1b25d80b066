#include "screens/ScreenParts.h"

#include "platform/OpenGL.h"

#include "platform/InputState.h"

void DrawSpritePicture(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t picture) {
  float s0 = float(picture) / 6.0f;
  float s1 = s0 + 1.0f / 6.0f;
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(s0, 0.0f);
  glVertex2i(left, top);
  glTexCoord2f(s0, 1.0f);
  glVertex2i(left, bottom);
  glTexCoord2f(s1, 0.0f);
  glVertex2i(right, top);
  glTexCoord2f(s1, 1.0f);
  glVertex2i(right, bottom);
  glEnd();
}

bool HandleButton(int32_t left, int32_t top, int32_t right, int32_t bottom, const float hover[3],
                  const float idle[3]) {
  bool over = mouseX > left && mouseX < right && mouseY > top && mouseY < bottom;
  if (!over) {
    glColor3fv(idle);
    return false;
  }
  glColor3fv(hover);
  bool clicked = mouseDown;
  mouseDown = false;
  return clicked;
}
