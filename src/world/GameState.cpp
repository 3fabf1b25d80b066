#include "world/GameState.h"

#include <cstring>

TileType World[WorldColumns][WorldRows];

// The nearest floats to the catalogue's one-decimal colours.
const float tileColours[TileTypeCount][3] = {
    {0.1f, 0.6f, 0.9f},  // Sky
    {0.1f, 0.4f, 0.1f},  // Grass
    {0.1f, 0.6f, 0.1f},  // Leaves
    {0.6f, 0.4f, 0.4f},  // Trunk
    {0.6f, 0.3f, 0.3f},  // Ground
    {0.2f, 0.2f, 0.2f},  // DarkOre
    {0.8f, 0.7f, 0.1f},  // YellowOre
    {0.8f, 0.4f, 0.2f},  // OrangeOre
    {0.8f, 0.8f, 0.8f},  // PaleOre
    {0.6f, 0.6f, 0.6f},  // LitTunnel
    {0.4f, 0.4f, 0.4f},  // DarkTunnel
    {0.2f, 0.7f, 0.5f},  // Prize
};

int32_t screen = ScreenMenu;
int32_t playerX = 0;
int32_t playerY = 0;
int32_t velocityY = 0;
bool airborne = false;
int32_t cameraLift = 0;
int32_t digTicks = 1;
float digFraction = 0.0f;
bool won = false;
int32_t inventory[InventorySlots] = {0, 0, 0, 0, 0, 0};
int32_t playerColumn = 0, playerRow = 0;
int32_t targetColumn = 0, targetRow = 0;
int32_t settleFirst = 0, settleLast = 0;
int32_t drawFirst = 0, drawLast = 0;
Recipe recipes[LadderCount][LadderRows];
int32_t speedBonus = 0, powerBonus = 0, rangeBonus = 0;
int32_t recipeFirst[LadderCount] = {0, 0, 0};
uint32_t randomSeed = 0;

void InitGameState() {
  std::memset(World, Sky, sizeof World);
  screen = ScreenMenu;
  playerX = 0;
  playerY = 0;
  velocityY = 0;
  airborne = false;
  cameraLift = 0;
  digTicks = 1;
  digFraction = 0.0f;
  won = false;
  for (int32_t& count : inventory) count = 0;
  playerColumn = playerRow = 0;
  targetColumn = targetRow = 0;
  settleFirst = settleLast = 0;
  drawFirst = drawLast = 0;
  std::memset(recipes, 0, sizeof recipes);
  speedBonus = powerBonus = rangeBonus = 0;
  for (int32_t& first : recipeFirst) first = 0;
  randomSeed = 0;
}

TileType TileAt(int32_t column, int32_t row) {
  if (column < 0 || column >= WorldColumns || row < 0 || row >= WorldRows) return Sky;
  return World[column][row];
}
