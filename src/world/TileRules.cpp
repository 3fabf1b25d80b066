#include "world/TileRules.h"

#include "world/Random.h"

bool IsPassable(int32_t column, int32_t row) {
  switch (TileAt(column, row)) {
    case Sky: case Leaves: case Trunk: case LitTunnel: case DarkTunnel: return true;
    default: return false;
  }
}

bool IsFallThrough(int32_t column, int32_t row) {
  switch (TileAt(column, row)) {
    case Sky: case LitTunnel: case DarkTunnel: return true;
    default: return false;
  }
}

bool IsOpen(int32_t column, int32_t row) {
  switch (TileAt(column, row)) {
    case Sky: case Leaves: case Trunk: case LitTunnel: return true;
    default: return false;
  }
}

bool CanDig(int32_t column, int32_t row) {
  TileType tile = TileAt(column, row);
  if (tile == Sky || tile == LitTunnel || tile == DarkTunnel) return false;
  int32_t pc = playerX / TileWidth;
  int32_t pr = playerY / TileHeight;
  int32_t reach = 2 + rangeBonus;
  return pc - reach < column && column < pc + reach && pr - reach < row && row < pr + reach;
}

void CollectTile(TileType tile) {
  switch (tile) {
    case Grass: inventory[1] += 1; break;
    case Leaves: inventory[0] += 1; break;
    case Trunk: inventory[0] += RandomBelow(3) + 1; break;
    case Ground: inventory[1] += RandomBelow(3) + 1; break;
    case DarkOre: inventory[2] += RandomBelow(3) + 1; break;
    case YellowOre: inventory[3] += RandomBelow(2) + 1; break;
    case OrangeOre: inventory[4] += RandomBelow(2) + 1; break;
    case PaleOre: inventory[5] += 1; break;
    case Prize: won = true; break;
    default: break;  // Sky and tunnels give nothing
  }
}
