// What a cell means to the player: walk into it, fall through it, light through
// it, dig it; and what digging a tile yields.
#pragma once

#include <cstdint>

#include "world/GameState.h"

bool IsPassable(int32_t column, int32_t row);
bool IsFallThrough(int32_t column, int32_t row);
bool IsOpen(int32_t column, int32_t row);
// Diggable and within reach of the player's current cell.
bool CanDig(int32_t column, int32_t row);
// Credits the inventory for a dug tile, or wins the game for the Prize.
void CollectTile(TileType tile);
