#include "platform/OpenGL.h"

#include "assets/FontUnit.h"
#include "assets/TextureLists.h"
#include "assets/UTypes.h"
#include "platform/InputState.h"
#include "screens/ScreenParts.h"
#include "screens/Screens.h"
#include "world/Crafting.h"
#include "world/GameState.h"

namespace {

constexpr int32_t BoxWidth = 200, BoxHeight = 50, RowPitch = 55, FirstRowTop = 50;
constexpr int32_t ShownRows = 5;
constexpr int32_t ButtonLeft = 555, ButtonTop = 555, ButtonRight = 795, ButtonBottom = 595;

const float buttonIdle[3] = {1.0f, 0.1f, 0.1f};
const float buttonHover[3] = {0.0f, 0.5f, 0.7f};
const int32_t ladderLeft[LadderCount] = {50, 300, 550};
const int32_t titleX[LadderCount] = {120, 360, 610};
const char* const ladderTitle[LadderCount] = {"Speed", "Power", "Range"};

}  // namespace

int32_t HitRecipeCell(bool& clicked) {
  clicked = false;
  int32_t cell = -1;
  // Edges are outside: strict on every side, so the 5-pixel gaps and the box
  // borders hit nothing.
  for (int32_t ladder = 0; ladder < LadderCount; ++ladder) {
    int32_t left = ladderLeft[ladder];
    if (mouseX > left && mouseX < left + BoxWidth) {
      for (int32_t r = 0; r < ShownRows; ++r) {
        int32_t top = FirstRowTop + RowPitch * r;
        if (mouseY > top && mouseY < top + BoxHeight) cell = ShownRows * ladder + r;
      }
    }
  }
  // Any cell eats the click, buyable or not.
  if (cell >= 0 && mouseDown) {
    mouseDown = false;
    clicked = true;
  }
  return cell;
}

void DrawRecipeBox(int32_t x, int32_t y, Recipe row, bool highlighted) {
  int32_t n = 0;
  for (int32_t k = 0; k <= row.lastItem && k < InventorySlots; ++k) {
    if (row.cost[k] == 0) continue;
    // The previous icon's number switched the texture to the font.
    glCallList(spriteTextureList);
    glColor3fv(tileColours[k + Trunk]);
    glEnable(GL_TEXTURE_2D);
    int32_t left = x + 5 + 30 * n;
    DrawSpritePicture(left, y + 5, left + 25, y + 30, k);
    glDisable(GL_TEXTURE_2D);
    DrawTextAt(left, y + 20, IntToText(row.cost[k]).c_str());
    n += 1;
  }
  // The box comes after its icons so that they stay in front of it.
  if (highlighted)
    glColor3f(0.8f, 0.2f, 0.8f);
  else
    glColor3f(0.6f, 0.6f, 0.6f);
  glBegin(GL_QUADS);
  glVertex2i(x, y);
  glVertex2i(x, y + BoxHeight);
  glVertex2i(x + BoxWidth, y + BoxHeight);
  glVertex2i(x + BoxWidth, y);
  glEnd();
}

void CraftFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  bool clicked = false;
  int32_t cell = HitRecipeCell(clicked);

  for (int32_t ladder = 0; ladder < LadderCount; ++ladder) {
    int32_t x = ladderLeft[ladder];
    for (int32_t r = recipeFirst[ladder]; r <= recipeFirst[ladder] + ShownRows - 1; ++r) {
      int32_t y = FirstRowTop + RowPitch * r;
      if (cell == ShownRows * ladder + r && recipes[ladder][r].available) {
        DrawRecipeBox(x, y, recipes[ladder][r], true);
        // Bought inside the frame, so the inventory bar below shows the new counts.
        if (clicked && CanAfford(recipes[ladder][r])) BuyRecipe(ladder, r);
      } else {
        DrawRecipeBox(x, y, recipes[ladder][r], false);
      }
    }
  }

  for (int32_t ladder = 0; ladder < LadderCount; ++ladder) DrawTextAt(titleX[ladder], 40, ladderTitle[ladder]);

  for (int32_t k = 0; k < InventorySlots; ++k) DrawInventorySlot(k, 550);

  if (HandleButton(ButtonLeft, ButtonTop, ButtonRight, ButtonBottom, buttonHover, buttonIdle)) screen = ScreenPlay;
  glBegin(GL_POLYGON);
  glVertex2i(ButtonLeft, ButtonTop);
  glVertex2i(ButtonLeft, ButtonBottom);
  glVertex2i(ButtonRight, ButtonBottom);
  glVertex2i(ButtonRight, ButtonTop);
  glEnd();
  DrawTextAt(560, 580, "back in game");
}
