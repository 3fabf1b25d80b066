// Small hand-made worlds for the play-frame tests.
#pragma once

#include <cstring>

#include "platform/InputState.h"
#include "world/GameState.h"

// Process-start state with an all-Sky world and nothing pressed.
inline void FreshGame() {
  InitGameState();
  ResetInputState();
  screen = ScreenPlay;
}

inline void FillAll(TileType tile) { std::memset(World, tile, sizeof World); }

inline void FillRow(int32_t row, TileType tile) {
  for (int32_t c = 0; c < WorldColumns; ++c) World[c][row] = tile;
}

inline void FillRowsFrom(int32_t firstRow, TileType tile) {
  for (int32_t r = firstRow; r < WorldRows; ++r) FillRow(r, tile);
}

// Centre of a cell in world pixels.
inline int32_t CellX(int32_t column) { return column * TileWidth + TileWidth / 2; }

// Points the mouse at a cell, given the current player position and camera.
inline void PointAt(int32_t column, int32_t row) {
  mouseX = CellX(column) - playerX + 400;
  mouseY = row * TileHeight + TileHeight / 2 - cameraLift;
}
