// How long one world takes to generate.
#include <benchmark/benchmark.h>

#include "world/GameState.h"
#include "world/Random.h"

static void BM_GenerateWorld(benchmark::State& state) {
  SetFixedSeed(12345);
  for (auto _ : state) {
    GenerateWorld();
    benchmark::DoNotOptimize(World);
  }
  ClearFixedSeed();
}
BENCHMARK(BM_GenerateWorld)->Unit(benchmark::kMicrosecond);
