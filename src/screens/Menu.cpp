#include "platform/OpenGL.h"

#include "assets/FontUnit.h"
#include "platform/InputState.h"
#include "screens/ScreenParts.h"
#include "screens/Screens.h"
#include "world/GameState.h"

namespace {

struct MenuButton {
  int32_t top, bottom;
  float idle[3];
  float hover[3];
  const char* label;
  int32_t labelY;
};

constexpr int32_t ButtonLeft = 300;
constexpr int32_t ButtonRight = 500;
constexpr int32_t LabelX = 370;

const MenuButton menuButtons[2] = {
    {150, 250, {0.0f, 0.9f, 0.0f}, {0.0f, 0.7f, 0.0f}, "game", 200},
    {300, 400, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.5f}, "exit", 350},
};

}  // namespace

void DrawMenu() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  for (int32_t b = 0; b < 2; ++b) {
    const MenuButton& button = menuButtons[b];
    // Strict on all four sides: the edges belong to no button. The latch is
    // consumed even without a click, so a press dragged in from elsewhere acts
    // once and the play screen never sees it as a held button.
    if (HandleButton(ButtonLeft, button.top, ButtonRight, button.bottom, button.hover, button.idle)) {
      if (b == 0)
        screen = ScreenPlay;
      else
        done = true;
    }
    glBegin(GL_QUADS);
    glVertex2i(ButtonLeft, button.top);
    glVertex2i(ButtonLeft, button.bottom);
    glVertex2i(ButtonRight, button.bottom);
    glVertex2i(ButtonRight, button.top);
    glEnd();
    DrawTextAt(LabelX, button.labelY, button.label);
  }
}
