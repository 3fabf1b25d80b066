// Random scripted play over generated worlds, checking after every frame what
// must always hold. SOAK_SEEDS worlds, SOAK_FRAMES frames each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "Replay.h"
#include "platform/InputState.h"
#include "sim/UpdatePlay.h"
#include "world/GameState.h"
#include "world/TileRules.h"

#ifndef SOAK_SEEDS
#define SOAK_SEEDS 3
#endif
#ifndef SOAK_FRAMES
#define SOAK_FRAMES 20000
#endif
#ifndef SOAK_SUITE  // one name per build of this file, so CTest tells them apart
#define SOAK_SUITE SoakTest
#endif

namespace {

struct SoakStats {
  long frames = 0;
  long digs = 0;
  long wins = 0;
  int32_t deepestY = 0;
  int32_t leftmostX = 40000, rightmostX = 0;
};

int Uniform(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
bool Chance(std::mt19937& rng, int percent) { return Uniform(rng, 0, 99) < percent; }

// Mostly what a player does: walk and jump about, or stand and dig a cell in
// reach, most often the one underfoot. Now and then something wild: a far-off
// pointer, every key at once, a long hold.
ScriptSegment RandomSegment(std::mt19937& rng) {
  ScriptSegment s;
  if (Chance(rng, 50)) {
    int reach = 1 + rangeBonus;
    int32_t pc = playerX / 40, pr = playerY / 30;
    int32_t column = pc, row = pr + 1;  // underfoot first
    for (int tries = 0; tries < 8 && (Chance(rng, 50) || !CanDig(column, row)); ++tries) {
      column = pc + Uniform(rng, -reach, reach);
      row = pr + Uniform(rng, -reach, reach);
    }
    // Held about as long as the cell takes, sometimes a little short.
    int32_t cost = int32_t(TileAt(column, row)) * (30 - powerBonus);
    s.frames = std::max(1, cost + Uniform(rng, -10, 20));
    s.keys[4] = Chance(rng, 10);  // D
    s.mouseX = std::max(0, column * 40 + 20 - playerX + 400);
    s.mouseY = std::max(0, row * 30 + 15 - cameraLift);
    s.button = Chance(rng, 95);
    return s;
  }
  s.frames = Chance(rng, 10) ? Uniform(rng, 40, 400) : Uniform(rng, 1, 30);
  s.keys[0] = Chance(rng, 2);   // E
  s.keys[1] = Chance(rng, 30);  // L
  s.keys[2] = Chance(rng, 25);  // U
  s.keys[3] = Chance(rng, 35);  // R
  s.keys[4] = Chance(rng, 10);  // D
  if (Chance(rng, 85)) {
    s.mouseX = std::max(0, 400 + Uniform(rng, -140, 140));
    s.mouseY = std::max(0, playerY - cameraLift + Uniform(rng, -100, 110));
  } else if (Chance(rng, 50)) {
    s.mouseX = Uniform(rng, 0, 799);
    s.mouseY = Uniform(rng, 0, 599);
  } else {
    s.mouseX = Uniform(rng, 0, 65535);
    s.mouseY = Uniform(rng, 0, 65535);
  }
  s.button = Chance(rng, 75);
  return s;
}

int CountPrizes() {
  int count = 0;
  for (auto& column : World)
    for (TileType tile : column) count += tile == Prize;
  return count;
}

// Puts the Prize a few columns from the start, in reach of random digging.
void MovePrizeNearStart(std::mt19937& rng) {
  for (auto& column : World)
    for (TileType& tile : column)
      if (tile == Prize) tile = Ground;
  World[500 + Uniform(rng, -3, 3)][Uniform(rng, 17, 19)] = Prize;
}

#define SOAK_CHECK(cond)                                                                       \
  if (!(cond)) {                                                                               \
    ADD_FAILURE() << "seed " << seed << " frame " << frame << ": " #cond << "\n  trace: " \
                  << TraceLine(frame);                                                         \
    return;                                                                                    \
  }

void SoakOneWorld(uint32_t seed, int variant, long frameCount, SoakStats& stats) {
  ReplayOptions options;
  options.seedGiven = true;
  options.seed = seed;
  StartReplayGame(options);
  screen = ScreenPlay;
  std::mt19937 rng(seed * 7919u + 17u);
  // Bonuses as far as the ladders go, so faster walks and wider reach are covered.
  speedBonus = variant % 6;
  powerBonus = (variant * 2) % 6;
  rangeBonus = (variant * 5) % 6;
  if (variant % 2 == 0) MovePrizeNearStart(rng);

  static TileType before[WorldColumns][WorldRows];
  int prizes = CountPrizes();
  long frame = 0;
  SOAK_CHECK(prizes == 1);
  bool prizeDug = false;
  bool walked = false;
  ScriptSegment held;
  while (frame < frameCount) {
    ScriptSegment next = RandomSegment(rng);
    DeliverSegmentMessages(held, next);
    held = next;
    for (int32_t i = 0; i < next.frames && frame < frameCount; ++i) {
      walked = walked || keys[VK_LEFT] || keys[VK_RIGHT];
      std::memcpy(before, World, sizeof World);
      int32_t inventoryBefore[InventorySlots];
      std::memcpy(inventoryBefore, inventory, sizeof inventory);
      UpdatePlay();
      EndInputFrame();
      ++frame;

      SOAK_CHECK(playerY <= 735);
      SOAK_CHECK(cameraLift >= 0 && cameraLift <= 200);
      SOAK_CHECK(velocityY >= -11 && velocityY <= 5);
      SOAK_CHECK(!walked || (playerX >= 5 && playerX <= 39995));
      SOAK_CHECK(digTicks >= 0);
      for (int k = 0; k < InventorySlots; ++k) {
        SOAK_CHECK(inventory[k] >= 0);
        SOAK_CHECK(inventory[k] >= inventoryBefore[k]);
      }
      if (std::memcmp(before, World, sizeof World) != 0) {
        for (int32_t c = 0; c < WorldColumns; ++c) {
          if (std::memcmp(before[c], World[c], WorldRows) == 0) continue;
          for (int32_t r = 0; r < WorldRows; ++r) {
            TileType was = before[c][r], now = World[c][r];
            if (was == now) continue;
            bool isTarget = mouseDown && c == targetColumn && r == targetRow;
            bool inLighting = c >= settleFirst && c <= settleLast && r >= 3 && r <= 16;
            SOAK_CHECK(isTarget || inLighting);
            // Digging and lighting only ever open the ground up.
            SOAK_CHECK(now == Sky || now == LitTunnel || now == DarkTunnel);
            if (isTarget && was != LitTunnel && was != DarkTunnel) ++stats.digs;
            if (was == Prize) {
              --prizes;
              prizeDug = true;
            }
          }
        }
      }
      SOAK_CHECK(prizes <= 1);
      SOAK_CHECK(won == prizeDug);
      stats.deepestY = std::max(stats.deepestY, playerY);
      stats.leftmostX = std::min(stats.leftmostX, playerX);
      stats.rightmostX = std::max(stats.rightmostX, playerX);
    }
  }
  SOAK_CHECK(CountPrizes() == prizes);
  stats.frames += frame;
  stats.wins += won ? 1 : 0;
}

}  // namespace

TEST(SOAK_SUITE, RandomPlayKeepsTheInvariants) {
  SoakStats stats;
  for (int variant = 0; variant < SOAK_SEEDS; ++variant) {
    SoakOneWorld(1000u + 7u * uint32_t(variant), variant, SOAK_FRAMES, stats);
    if (HasFailure()) return;
  }
  std::printf("soak: %ld frames over %d worlds, %ld digs, %ld wins, deepest y %d, x %d..%d\n", stats.frames,
              SOAK_SEEDS, stats.digs, stats.wins, stats.deepestY, stats.leftmostX, stats.rightmostX);
  EXPECT_EQ(stats.frames, long(SOAK_SEEDS) * SOAK_FRAMES);
  // The checks above mean little unless the random play really digs and moves.
  EXPECT_GT(stats.digs, stats.frames / 1000);
  EXPECT_GT(stats.deepestY, 17 * 30);
  EXPECT_GT(stats.wins, 0);
}
