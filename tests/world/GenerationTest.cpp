#include <gtest/gtest.h>

#include <string>

#include "world/GameState.h"
#include "world/Random.h"

namespace {

std::string Column(int32_t c) {
  std::string s;
  for (int32_t r = 0; r < WorldRows; ++r) s += "0123456789ab"[World[c][r]];
  return s;
}

void GenerateWithSeed(uint32_t seed) {
  SetFixedSeed(seed);
  GenerateWorld();
  ClearFixedSeed();
}

}  // namespace

TEST(RandomTest, SequenceFromSeedZero) {
  randomSeed = 0;
  EXPECT_EQ(RandomBelow(1000), 0);
  EXPECT_EQ(randomSeed, 1u);
  EXPECT_EQ(RandomBelow(1000), 31);
  EXPECT_EQ(randomSeed, 134775814u);
  EXPECT_EQ(RandomBelow(1000), 861);
  EXPECT_EQ(randomSeed, 3698175007u);
  EXPECT_EQ(RandomBelow(1000), 202);
  EXPECT_EQ(RandomBelow(1000), 272);
  EXPECT_EQ(RandomBelow(1000), 671);
}

TEST(RandomTest, StaysBelowItsBoundForLargeSeeds) {
  randomSeed = 0xFFFFFFF0u;
  for (int i = 0; i < 10000; ++i) {
    int32_t v = RandomBelow(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
  }
}

TEST(RandomTest, ReseedUsesAFastClock) {
  // Two reseeds in a row read a counter that has moved on; a constant source
  // would make every window open the same world.
  ReseedRandom();
  uint32_t first = randomSeed;
  bool changed = false;
  for (int i = 0; i < 1000 && !changed; ++i) {
    ReseedRandom();
    changed = randomSeed != first;
  }
  EXPECT_TRUE(changed);
}

TEST(GenerationTest, SeedZeroWorkedExample) {
  GenerateWithSeed(0);
  EXPECT_EQ(Column(0), "0000223331444444444444444");
  EXPECT_EQ(Column(1), "0000022001444444444444444");
  EXPECT_EQ(Column(2), "0000002200144444444444444");
  EXPECT_EQ(Column(5), "0000000000014444446644444");
  EXPECT_EQ(Column(7), "0000000220014454745444884");
  EXPECT_EQ(Column(8), "0000002233314444444444444");
  EXPECT_EQ(World[717][18], Prize);
  EXPECT_EQ(randomSeed, 3080147327u);
}

TEST(GenerationTest, ThePlatformsCounterSeedsTheWorld) {
  // Windows reseeds from QueryPerformanceCounter through the hook: a counter
  // reading 0 gives the seed-zero world.
  ClearFixedSeed();
  seedClockHook = [] { return 0u; };
  GenerateWorld();
  seedClockHook = nullptr;
  EXPECT_EQ(Column(7), "0000000220014454745444884");
  EXPECT_EQ(randomSeed, 3080147327u);
}

TEST(GenerationTest, SameSeedSameWorldAndFixedSeedOnlyAfterReseed) {
  GenerateWithSeed(99);
  std::string first;
  for (int32_t c = 0; c < WorldColumns; ++c) first += Column(c);
  uint32_t seedAfter = randomSeed;
  // Dig marks must be overwritten by the next generation.
  World[500][20] = DarkTunnel;
  GenerateWithSeed(99);
  std::string second;
  for (int32_t c = 0; c < WorldColumns; ++c) second += Column(c);
  EXPECT_EQ(first, second);
  EXPECT_EQ(seedAfter, randomSeed);
}

TEST(GenerationTest, PropertiesHoldForManySeeds) {
  for (uint32_t seed = 0; seed < 3000; ++seed) {
    GenerateWithSeed(seed * 2654435761u);
    int prizes = 0;
    for (int32_t c = 0; c < WorldColumns; ++c) {
      for (int32_t r = 0; r <= 3; ++r) ASSERT_EQ(World[c][r], Sky) << "seed " << seed << " col " << c;
      ASSERT_EQ(World[c][24] == Ground || World[c][24] == Sky, true);
      ASSERT_EQ(World[c][24], Ground) << "seed " << seed << " col " << c;
      int grassRow = -1;
      for (int32_t r = 0; r < WorldRows; ++r) {
        if (World[c][r] == Grass) {
          ASSERT_EQ(grassRow, -1) << "two Grass cells, seed " << seed << " col " << c;
          grassRow = r;
        }
      }
      ASSERT_TRUE(grassRow >= 9 && grassRow <= 11) << "seed " << seed << " col " << c;
      for (int32_t r = 0; r < grassRow; ++r) {
        TileType t = World[c][r];
        ASSERT_TRUE(t == Sky || t == Leaves || t == Trunk) << "seed " << seed << " col " << c << " row " << r;
      }
      for (int32_t r = grassRow + 1; r < WorldRows; ++r) {
        TileType t = World[c][r];
        ASSERT_TRUE(t == Ground || (t >= DarkOre && t <= PaleOre) || t == Prize)
            << "seed " << seed << " col " << c << " row " << r;
        if (t == DarkOre) { ASSERT_TRUE(r >= 13 && r <= 18); }
        if (t == OrangeOre) { ASSERT_TRUE(r >= 15 && r <= 17); }
        if (t == YellowOre) { ASSERT_TRUE(r >= 17 && r <= 19); }
        if (t == PaleOre) { ASSERT_TRUE(r >= 21 && r <= 23); }
        if (c < 5) { ASSERT_FALSE(t >= DarkOre && t <= PaleOre) << "ore left of column 5, seed " << seed; }
        if (t == Prize) {
          ++prizes;
          ASSERT_TRUE(r >= 17 && r <= 23);
          ASSERT_NE(c, 0);
        }
      }
    }
    ASSERT_EQ(prizes, 1) << "seed " << seed;
  }
}

TEST(GenerationTest, ColumnZeroAlwaysHasATree) {
  for (uint32_t seed : {0u, 1u, 77u, 4000000000u}) {
    GenerateWithSeed(seed);
    int32_t h = -1;
    for (int32_t r = 0; r < WorldRows; ++r)
      if (World[0][r] == Grass) h = r - 1;
    ASSERT_GE(h, 8);
    EXPECT_EQ(World[0][h], Trunk);
    EXPECT_EQ(World[0][h - 1], Trunk);
    EXPECT_EQ(World[0][h - 2], Trunk);
    EXPECT_EQ(World[0][h - 3], Leaves);
    EXPECT_EQ(World[0][h - 4], Leaves);
  }
}

TEST(GameStateTest, ProcessStartValues) {
  World[3][3] = Prize;
  won = true;
  inventory[2] = 9;
  InitGameState();
  EXPECT_EQ(screen, 1);
  EXPECT_EQ(digTicks, 1);
  EXPECT_FALSE(won);
  for (int32_t k = 0; k < InventorySlots; ++k) EXPECT_EQ(inventory[k], 0);
  for (int32_t c = 0; c < WorldColumns; ++c)
    for (int32_t r = 0; r < WorldRows; ++r) ASSERT_EQ(World[c][r], Sky);
  EXPECT_EQ(digFraction, 0.0f);
  EXPECT_FALSE(recipes[0][0].available);
}

TEST(GameStateTest, TileAtOutsideTheGridIsSky) {
  InitGameState();
  for (int32_t c = 0; c < WorldColumns; ++c)
    for (int32_t r = 0; r < WorldRows; ++r) World[c][r] = Ground;
  EXPECT_EQ(TileAt(-1, 5), Sky);
  EXPECT_EQ(TileAt(1000, 5), Sky);
  EXPECT_EQ(TileAt(5, -1), Sky);
  EXPECT_EQ(TileAt(5, 25), Sky);
  EXPECT_EQ(TileAt(INT32_MIN, INT32_MAX), Sky);
  World[6][0] = Prize;
  EXPECT_EQ(TileAt(5, 25), Sky) << "(c, 25) must not read as (c + 1, 0)";
  EXPECT_EQ(TileAt(6, 0), Prize);
  EXPECT_EQ(TileAt(999, 24), Ground);
}

TEST(GameStateTest, TileColoursAreTheNearestFloats) {
  const double expected[TileTypeCount][3] = {
      {0.1, 0.6, 0.9}, {0.1, 0.4, 0.1}, {0.1, 0.6, 0.1}, {0.6, 0.4, 0.4}, {0.6, 0.3, 0.3}, {0.2, 0.2, 0.2},
      {0.8, 0.7, 0.1}, {0.8, 0.4, 0.2}, {0.8, 0.8, 0.8}, {0.6, 0.6, 0.6}, {0.4, 0.4, 0.4}, {0.2, 0.7, 0.5}};
  for (int t = 0; t < TileTypeCount; ++t)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(tileColours[t][k], float(expected[t][k])) << t << "," << k;
}
