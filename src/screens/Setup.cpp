#include "platform/OpenGL.h"

#include "assets/FontUnit.h"
#include "assets/TextureLists.h"
#include "platform/Ticks.h"
#include "screens/Screens.h"
#include "world/Crafting.h"
#include "world/GameState.h"
#include "world/Random.h"

int32_t frameCount = 0;
uint32_t lastFpsTick = 0;
int32_t fps = 0;

// Runs in every new context (program start and each full-screen toggle): what
// lives in the context is built again, and the game starts a new world while
// the screen, inventory and win flag carry over.
void SetupGame() {
  lastFpsTick = GetTickCount();
  frameCount = 0;
  SetupContext();
  GenerateWorld();
  playerX = 20000;
  playerY = 50;
  ResetRecipes();
}

void SetupContext() {
  glClearColor(0.0f, 0.5f, 0.0f, 1.0f);
  // Both list names must exist before the font records into fontTextureList.
  CreateTextureLists();
  SetupFont();
  // The blend function stays (GL_ONE, GL_ZERO) outside text, so this changes
  // nothing until text sets its own function.
  glEnable(GL_BLEND);
  glColor3f(0.0f, 1.0f, 0.0f);
  // Every rectangle is given counter-clockwise on the y-down screen.
  glEnable(GL_CULL_FACE);
}
