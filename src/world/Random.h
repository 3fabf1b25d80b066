// The one random generator (a 32-bit linear congruential one) and world generation.
#pragma once

#include <cstdint>

// 0..n-1 for positive n; advances randomSeed by one step.
int32_t RandomBelow(int32_t n);

// randomSeed from a fast-running clock (low 32 bits), the millisecond tick as fallback.
void ReseedRandom();

// The clock ReseedRandom reads. The platform sets it where the system has its own
// high-resolution counter (Windows: QueryPerformanceCounter); unset, it is the
// standard library's steady clock.
extern uint32_t (*seedClockHook)();

// Reseeds and fills every cell of World with a new landscape.
void GenerateWorld();

// Reproducible worlds: while a fixed seed is set, GenerateWorld replaces the
// clock seed with it right after reseeding. Nothing else changes.
void SetFixedSeed(uint32_t seed);
void ClearFixedSeed();
