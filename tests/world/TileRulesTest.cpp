#include <gtest/gtest.h>

#include "world/GameState.h"
#include "world/TileRules.h"

namespace {

void FillWorld(TileType tile) {
  for (int32_t c = 0; c < WorldColumns; ++c)
    for (int32_t r = 0; r < WorldRows; ++r) World[c][r] = tile;
}

}  // namespace

TEST(TileRulesTest, SetsByTileCode) {
  InitGameState();
  //                          Sky Grass Leaves Trunk Ground Dark Yel Ora Pale Lit Dark Prize
  const bool passable[12] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1, 1, 0};
  const bool fall[12] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0};
  const bool open[12] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0};
  for (int t = 0; t < TileTypeCount; ++t) {
    World[10][10] = TileType(t);
    EXPECT_EQ(IsPassable(10, 10), passable[t]) << t;
    EXPECT_EQ(IsFallThrough(10, 10), fall[t]) << t;
    EXPECT_EQ(IsOpen(10, 10), open[t]) << t;
  }
}

TEST(TileRulesTest, OutsideTheGridIsSky) {
  InitGameState();
  FillWorld(Ground);
  playerX = 20;
  playerY = 15;
  for (auto [c, r] : {std::pair{-1, 0}, {1000, 0}, {0, -1}, {0, 25}}) {
    EXPECT_TRUE(IsPassable(c, r));
    EXPECT_TRUE(IsFallThrough(c, r));
    EXPECT_TRUE(IsOpen(c, r));
    EXPECT_FALSE(CanDig(c, r));
  }
}

TEST(TileRulesTest, ReachSquareGrowsWithRange) {
  InitGameState();
  FillWorld(Ground);
  playerX = 10 * 40 + 20;  // cell (10, 9)
  playerY = 9 * 30 + 15;
  for (int32_t bonus : {0, 2}) {
    rangeBonus = bonus;
    for (int32_t c = 0; c < 25; ++c)
      for (int32_t r = 0; r < WorldRows; ++r) {
        bool inside = c >= 9 - bonus && c <= 11 + bonus && r >= 8 - bonus && r <= 10 + bonus;
        EXPECT_EQ(CanDig(c, r), inside) << "range " << bonus << " cell " << c << "," << r;
      }
  }
}

TEST(TileRulesTest, CanDigOnlyDiggableTilesIncludingOwnCell) {
  InitGameState();
  playerX = 10 * 40 + 20;
  playerY = 9 * 30 + 15;
  const bool diggable[12] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 1};
  for (int t = 0; t < TileTypeCount; ++t) {
    World[10][9] = TileType(t);
    EXPECT_EQ(CanDig(10, 9), diggable[t]) << t;
  }
}

TEST(TileRulesTest, PlayerCellTruncatesTowardZero) {
  InitGameState();
  World[1][1] = Ground;  // reachable from cell (0, 0) but not from (-1, -1)
  World[0][0] = Ground;
  for (int32_t x : {0, 39}) {
    for (int32_t y : {-29, 0, 29}) {
      playerX = x;
      playerY = y;
      EXPECT_TRUE(CanDig(1, 1)) << x << "," << y;
      EXPECT_TRUE(CanDig(0, 0));
    }
  }
  playerX = 40;  // column 1: (0,0) still within reach, (2,1) too
  World[2][1] = Ground;
  EXPECT_TRUE(CanDig(2, 1));
  playerX = 0;
  EXPECT_FALSE(CanDig(2, 1));
}

TEST(CollectTileTest, YieldsAndDraws) {
  struct Case {
    TileType tile;
    int slot;
    int minGain, maxGain;
    bool draws;
  };
  const Case cases[] = {
      {Grass, 1, 1, 1, false},     {Leaves, 0, 1, 1, false},   {Trunk, 0, 1, 3, true},
      {Ground, 1, 1, 3, true},     {DarkOre, 2, 1, 3, true},   {YellowOre, 3, 1, 2, true},
      {OrangeOre, 4, 1, 2, true},  {PaleOre, 5, 1, 1, false},
  };
  for (const Case& k : cases) {
    int seen[4] = {0, 0, 0, 0};
    for (uint32_t seed = 0; seed < 300; ++seed) {
      InitGameState();
      randomSeed = seed * 7919u;
      uint32_t before = randomSeed;
      CollectTile(k.tile);
      uint32_t oneStep = before * 134775813u + 1u;
      EXPECT_EQ(randomSeed, k.draws ? oneStep : before) << int(k.tile);
      int gain = inventory[k.slot];
      ASSERT_GE(gain, k.minGain) << int(k.tile);
      ASSERT_LE(gain, k.maxGain) << int(k.tile);
      ++seen[gain];
      for (int s = 0; s < InventorySlots; ++s) {
        if (s != k.slot) { EXPECT_EQ(inventory[s], 0); }
      }
      EXPECT_FALSE(won);
    }
    for (int g = k.minGain; g <= k.maxGain; ++g) EXPECT_GT(seen[g], 0) << "tile " << int(k.tile) << " gain " << g;
  }
}

TEST(CollectTileTest, NothingForSkyAndTunnelsAndPrizeWins) {
  for (TileType tile : {Sky, LitTunnel, DarkTunnel, Prize}) {
    InitGameState();
    randomSeed = 1234;
    CollectTile(tile);
    EXPECT_EQ(randomSeed, 1234u);
    for (int s = 0; s < InventorySlots; ++s) EXPECT_EQ(inventory[s], 0);
    EXPECT_EQ(won, tile == Prize);
  }
}
