#include "game/SeedSetting.h"

#include <cstdio>

#include "world/Random.h"

bool ParseSeed(const char* text, uint32_t& seed) {
  if (!text || !*text) return false;
  uint64_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + uint64_t(*c - '0');
    if (value > 0xFFFFFFFFull) return false;
  }
  seed = uint32_t(value);
  return true;
}

bool ApplySeedSetting(const char* value) {
  if (!value) return false;
  uint32_t seed = 0;
  if (!ParseSeed(value, seed)) {
    std::fprintf(stderr, "quarn: ignoring QUARN_SEED=\"%s\": not a whole number from 0 to 4294967295\n", value);
    return false;
  }
  SetFixedSeed(seed);
  return true;
}
