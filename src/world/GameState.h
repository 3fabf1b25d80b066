// The game's state: the tile grid, the tile catalogue, the player, digging,
// inventory and crafting ladders. Everything is a process-lifetime global.
#pragma once

#include <cstdint>

// One byte per cell; the code doubles as the tile's dig weight.
enum TileType : uint8_t {
  Sky = 0,
  Grass = 1,
  Leaves = 2,
  Trunk = 3,
  Ground = 4,
  DarkOre = 5,
  YellowOre = 6,
  OrangeOre = 7,
  PaleOre = 8,
  LitTunnel = 9,
  DarkTunnel = 10,
  Prize = 11,
};

constexpr int32_t WorldColumns = 1000;
constexpr int32_t WorldRows = 25;
constexpr int32_t TileWidth = 40;   // world px per column
constexpr int32_t TileHeight = 30;  // world px per row
constexpr int32_t TileTypeCount = 12;
constexpr int32_t InventorySlots = 6;
constexpr int32_t LadderCount = 3;
constexpr int32_t LadderRows = 6;  // rows 0..4 are shown, row 5 is a dead end

// Values of `screen`.
constexpr int32_t ScreenMenu = 1;
constexpr int32_t ScreenPlay = 2;
constexpr int32_t ScreenCraft = 3;

// One row of a crafting ladder.
struct Recipe {
  int16_t bonus;
  int32_t lastItem;  // slots 0..lastItem are compared and paid; negative: free
  int32_t cost[InventorySlots];
  bool available;
};

// Column-major: World[column][row], that is element column * 25 + row.
extern TileType World[WorldColumns][WorldRows];
extern const float tileColours[TileTypeCount][3];

extern int32_t screen;
extern int32_t playerX;
extern int32_t playerY;
extern int32_t velocityY;
extern bool airborne;
extern int32_t cameraLift;
extern int32_t digTicks;
extern float digFraction;
extern bool won;
extern int32_t inventory[InventorySlots];
extern int32_t playerColumn, playerRow;
extern int32_t targetColumn, targetRow;
extern int32_t settleFirst, settleLast;
extern int32_t drawFirst, drawLast;
extern Recipe recipes[LadderCount][LadderRows];
extern int32_t speedBonus, powerBonus, rangeBonus;
extern int32_t recipeFirst[LadderCount];
extern uint32_t randomSeed;

// Puts every field above back to its process-start value. The game itself never
// needs this (it starts only once); tools and tests use it to start afresh.
void InitGameState();

// The cell at (column, row); Sky anywhere outside the grid.
TileType TileAt(int32_t column, int32_t row);
