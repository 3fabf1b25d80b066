#include "world/Random.h"

#include <chrono>

#include "world/GameState.h"

uint32_t (*seedClockHook)() = nullptr;

namespace {
bool fixedSeedSet = false;
uint32_t fixedSeed = 0;
}  // namespace

int32_t RandomBelow(int32_t n) {
  randomSeed = randomSeed * 134775813u + 1u;
  uint64_t product = uint64_t(uint32_t(n)) * uint64_t(randomSeed);
  return int32_t(uint32_t(product >> 32));
}

void ReseedRandom() {
  if (seedClockHook) {
    randomSeed = seedClockHook();
    return;
  }
  // steady_clock is the monotonic high-resolution counter here; its nanosecond
  // count changes on every read, so its low bits make a good seed.
  auto count = std::chrono::steady_clock::now().time_since_epoch().count();
  if (count != 0) {
    randomSeed = uint32_t(uint64_t(count));
    return;
  }
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  randomSeed = uint32_t(uint64_t(ms.count()));
}

void SetFixedSeed(uint32_t seed) {
  fixedSeedSet = true;
  fixedSeed = seed;
}

void ClearFixedSeed() { fixedSeedSet = false; }

namespace {

void Put(int32_t column, int32_t row, TileType tile) {
  // Generation never leaves the grid by construction; the guard keeps it so.
  if (column >= 0 && column < WorldColumns && row >= 0 && row < WorldRows) World[column][row] = tile;
}

void PlaceOreCluster(int32_t c) {
  int32_t a = RandomBelow(4) + 15;
  Put(c, a, DarkOre);
  Put(c, a - 2, DarkOre);
  int32_t b = RandomBelow(3) + 15;
  Put(c, b, OrangeOre);
  int32_t d = RandomBelow(3) + 17;
  Put(c - 2, d, YellowOre);
  int32_t e = RandomBelow(3) + 21;
  Put(c, e, PaleOre);
}

}  // namespace

void GenerateWorld() {
  ReseedRandom();
  if (fixedSeedSet) randomSeed = fixedSeed;

  for (int32_t c = 0; c < WorldColumns; ++c) {
    int32_t h = RandomBelow(3) + 8;

    for (int32_t r = 0; r <= h; ++r) Put(c, r, Sky);
    Put(c, h + 1, Grass);
    // A tree's right-hand leaves come from the column before it.
    if (c > 0) {
      for (int32_t r = 1; r <= h; ++r) {
        bool leavesAbove = World[c - 1][r - 1] == Leaves || (r >= 2 && World[c - 1][r - 2] == Leaves);
        if (World[c - 1][r] == Trunk && leavesAbove) Put(c, r - 1, Leaves);
      }
    }

    for (int32_t r = h + 2; r < WorldRows; ++r) Put(c, r, Ground);

    int32_t k = RandomBelow(7) + 3;
    if (c % k == 0) {
      Put(c, h, Trunk);
      Put(c, h - 1, Trunk);
      Put(c, h - 2, Trunk);
      Put(c, h - 3, Leaves);
      Put(c, h - 4, Leaves);
      if (c > 0) {
        Put(c - 1, h - 3, Leaves);
        Put(c - 1, h - 2, Leaves);
      }
    }

    for (int32_t repeat = 0; repeat < 21 - h; ++repeat) {
      int32_t m = RandomBelow(9) + 5;
      if (c % m == 7) PlaceOreCluster(c);
    }
  }

  int32_t row = RandomBelow(7) + 17;
  int32_t column = RandomBelow(999) + 1;
  Put(column, row, Prize);
}
