// quarn-replay: the game without a window, for reproducing and checking runs.
#pragma once

#include <cstdint>
#include <string>

struct ReplayOptions {
  bool seedGiven = false;
  uint32_t seed = 0;
  bool dumpWorld = false;
};

// Parses the command line. On a bad argument writes one line to stderr and
// returns false.
bool ParseReplayArgs(int argc, char** argv, ReplayOptions& options);

// Parses a decimal 0..4294967295 with nothing else around it.
bool ParseSeed(const std::string& text, uint32_t& seed);

// Process-start values, then the game part of the setup.
void StartReplayGame(const ReplayOptions& options);

// 1000 lines, column 0 first, each the 25 tile codes in lower-case hexadecimal.
void DumpWorld();
