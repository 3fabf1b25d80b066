#include "Replay.h"

#include <cstdio>
#include <cstring>

#include "world/Crafting.h"
#include "world/GameState.h"
#include "world/Random.h"

bool ParseSeed(const std::string& text, uint32_t& seed) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t value = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + uint64_t(ch - '0');
  }
  if (value > 0xFFFFFFFFull) return false;
  seed = uint32_t(value);
  return true;
}

bool ParseReplayArgs(int argc, char** argv, ReplayOptions& options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--seed") {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "quarn-replay: --seed needs a value\n");
        return false;
      }
      std::string value = argv[++i];
      if (!ParseSeed(value, options.seed)) {
        std::fprintf(stderr, "quarn-replay: bad seed '%s' (want 0..4294967295)\n", value.c_str());
        return false;
      }
      options.seedGiven = true;
    } else if (arg == "--dump-world") {
      options.dumpWorld = true;
    } else {
      std::fprintf(stderr, "quarn-replay: unknown argument '%s'\n", arg.c_str());
      return false;
    }
  }
  return true;
}

void StartReplayGame(const ReplayOptions& options) {
  InitGameState();
  if (options.seedGiven)
    SetFixedSeed(options.seed);
  else
    ClearFixedSeed();
  GenerateWorld();
  playerX = 20000;
  playerY = 50;
  ResetRecipes();
}

void DumpWorld() {
  static const char hex[] = "0123456789abcdef";
  char line[WorldRows + 2];
  for (int32_t c = 0; c < WorldColumns; ++c) {
    for (int32_t r = 0; r < WorldRows; ++r) line[r] = hex[World[c][r] & 0xF];
    line[WorldRows] = '\n';
    line[WorldRows + 1] = '\0';
    std::fputs(line, stdout);
  }
}
