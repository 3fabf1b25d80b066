#include "platform/OpenGL.h"

#include <cmath>

#include "assets/FontUnit.h"
#include "assets/TextureLists.h"
#include "assets/UTypes.h"
#include "platform/InputState.h"
#include "screens/ScreenParts.h"
#include "screens/Screens.h"
#include "sim/UpdatePlay.h"
#include "world/GameState.h"

namespace {

constexpr int32_t BarTop = 550;
constexpr int32_t ButtonLeft = 555, ButtonTop = 555, ButtonRight = 795, ButtonBottom = 595;
const float buttonIdle[3] = {1.0f, 0.1f, 0.1f};
const float buttonHover[3] = {0.0f, 0.5f, 0.7f};
constexpr int32_t SectorSteps = 20;
constexpr double Pi = 3.14159265358979323846;

// The fan of dig progress around the player's centre: 2 pi / digFraction
// radians, turning clockwise on screen from 3 o'clock. Alternating rim points
// and the centre make the strip; the centre-rim-centre triangles have no area.
void DrawDigSector() {
  // 0 means no dig; inf and NaN come from the frame that finished one.
  if (digFraction == 0.0f || !std::isfinite(digFraction)) return;
  glBegin(GL_TRIANGLE_STRIP);
  for (int32_t i = 0; i <= SectorSteps; ++i) {
    glColor3f(1.0f, 0.7f, 0.3f);
    double a = (2.0 * Pi / double(digFraction)) * double(i) / double(SectorSteps);
    glVertex2f(float(10.0 * std::cos(a)), float(10.0 * std::sin(a)));
    glVertex2f(0.0f, 0.0f);
  }
  glEnd();
}

void DrawTiles() {
  for (int32_t c = drawFirst; c <= drawLast; ++c) {
    for (int32_t r = 0; r < WorldRows; ++r) {
      int32_t t = World[c][r];
      glColor3fv(tileColours[t]);
      bool textured = t >= Trunk && t <= PaleOre;
      if (textured) glEnable(GL_TEXTURE_2D);
      DrawSpritePicture(TileWidth * c, TileHeight * r, TileWidth * c + TileWidth, TileHeight * r + TileHeight,
                  textured ? t - Trunk : 0);
      glDisable(GL_TEXTURE_2D);
    }
  }
}

}  // namespace

void DrawInventorySlot(int32_t slot, int32_t top) {
  int32_t x0 = 50 * slot;
  // Text drawn earlier in the frame left the font image in the texture.
  glCallList(spriteTextureList);
  glColor3fv(tileColours[slot + Trunk]);
  glEnable(GL_TEXTURE_2D);
  DrawSpritePicture(x0 + 3, top + 3, x0 + 47, top + 47, slot);
  glDisable(GL_TEXTURE_2D);
  DrawTextAt(x0 + 10, top + 50, IntToText(inventory[slot]).c_str());
}

// Front to back: with depth on and everything at z = 0 the first primitive drawn
// at a pixel keeps it, so the overlay comes first and the world last.
void DrawPlayScreen() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor3f(1.0f, 1.0f, 1.0f);
  glLoadIdentity();
  glTranslatef(float(400 - playerX), float(-cameraLift), 0.0f);

  glPushMatrix();
  glLoadIdentity();
  for (int32_t k = 0; k < InventorySlots; ++k) DrawInventorySlot(k, BarTop);

  if (HandleButton(ButtonLeft, ButtonTop, ButtonRight, ButtonBottom, buttonHover, buttonIdle)) screen = ScreenCraft;
  glBegin(GL_QUADS);
  glVertex2i(ButtonLeft, ButtonTop);
  glVertex2i(ButtonLeft, ButtonBottom);
  glVertex2i(ButtonRight, ButtonBottom);
  glVertex2i(ButtonRight, ButtonTop);
  glEnd();
  DrawTextAt(560, 580, "craft");

  // Fills only what the slots and the button left free.
  glBegin(GL_QUADS);
  glColor3f(0.7f, 0.1f, 0.4f);
  glVertex2i(0, BarTop);
  glVertex2i(0, 600);
  glVertex2i(800, 600);
  glVertex2i(800, BarTop);
  glEnd();

  glTranslatef(400.0f, float(playerY - cameraLift), 0.0f);
  DrawDigSector();
  glColor3f(1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glVertex2f(-10.0f, -15.0f);
  glVertex2f(-10.0f, 15.0f);
  glVertex2f(10.0f, 15.0f);
  glVertex2f(10.0f, -15.0f);
  glEnd();
  glPopMatrix();

  glCallList(spriteTextureList);
  DrawTiles();
}

void PlayFrame() {
  UpdatePlay();
  DrawPlayScreen();
  if (won) DrawTextAt(300, 200, "You Win! use Esc to exit to menu");
}
