#include <cstdio>

#include "Replay.h"
#include "platform/InputState.h"

int main(int argc, char** argv) {
  ReplayOptions options;
  if (!ParseReplayArgs(argc, argv, options)) return 2;
  StartReplayGame(options);
  long frames = 0;
  if (options.dumpWorld) DumpWorld();
  std::printf("end frames=%ld done=%d\n", frames, done ? 1 : 0);
  return 0;
}
