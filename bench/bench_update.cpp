// How long one play frame takes while the player walks, jumps and digs.
#include <benchmark/benchmark.h>

#include "platform/InputState.h"
#include "sim/UpdatePlay.h"
#include "world/Crafting.h"
#include "world/GameState.h"
#include "world/Random.h"

namespace {

// Items collected per frame: shows the loop really digs.
void CountDigs(benchmark::State& state) {
  double items = 0;
  for (int32_t count : inventory) items += count;
  state.counters["items/frame"] = items / double(state.iterations());
}

void StartWorld(uint32_t seed) {
  InitGameState();
  ResetInputState();
  SetFixedSeed(seed);
  GenerateWorld();
  ClearFixedSeed();
  ResetRecipes();
  playerX = 20000;
  playerY = 50;
  screen = ScreenPlay;
}

// The world is used up by then: a fresh one, keeping the inventory count going.
void NewWorldAt(benchmark::State& state, int32_t x, int32_t y) {
  state.PauseTiming();
  SetFixedSeed(randomSeed);
  GenerateWorld();
  ClearFixedSeed();
  playerX = x;
  playerY = y;
  state.ResumeTiming();
}

}  // namespace

// Right held and the button down on the cell just ahead at the player's own
// row: the player walks the surface and digs through whatever blocks it.
static void BM_UpdatePlayWalkAndDig(benchmark::State& state) {
  StartWorld(4242);
  keys[VK_RIGHT] = true;
  mouseDown = true;
  mouseX = 440;
  for (auto _ : state) {
    mouseY = playerY - cameraLift;
    UpdatePlay();
    if (playerX > 39000) NewWorldAt(state, 1020, playerY);  // keep walking on fresh ground
    benchmark::DoNotOptimize(playerX);
  }
  benchmark::DoNotOptimize(World);
  CountDigs(state);
}
BENCHMARK(BM_UpdatePlayWalkAndDig);

// The same deep underground: every cell ahead is rock, so the frames alternate
// between digging a cell and walking into the new tunnel.
static void BM_UpdatePlayTunnel(benchmark::State& state) {
  StartWorld(4242);
  playerY = 15 * 30 + 15;
  World[500][15] = DarkTunnel;  // room to stand in
  keys[VK_RIGHT] = true;
  mouseDown = true;
  mouseX = 440;
  for (auto _ : state) {
    mouseY = playerY - cameraLift;
    UpdatePlay();
    if (playerX > 39000) {
      NewWorldAt(state, 1020, playerY);
      World[25][15] = DarkTunnel;
    }
    benchmark::DoNotOptimize(playerX);
  }
  benchmark::DoNotOptimize(World);
  CountDigs(state);
}
BENCHMARK(BM_UpdatePlayTunnel);

// Standing still and digging straight down: the lighting pass has tunnels to relight.
static void BM_UpdatePlayDigDown(benchmark::State& state) {
  StartWorld(4242);
  mouseDown = true;
  mouseX = 400;
  for (auto _ : state) {
    mouseY = playerY - cameraLift + 30;  // the cell underfoot
    UpdatePlay();
    if (playerY >= 735) {
      playerX += 80;  // a fresh column once the shaft hits the bottom
      playerY = 50;
      if (playerX > 39000) NewWorldAt(state, 1020, playerY);
    }
    benchmark::DoNotOptimize(playerY);
  }
  benchmark::DoNotOptimize(World);
  CountDigs(state);
}
BENCHMARK(BM_UpdatePlayDigDown);
