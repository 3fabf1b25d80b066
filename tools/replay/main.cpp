#include <cstdio>
#include <vector>

#include "Replay.h"
#ifdef QUARN_REPLAY_FULL
#include "Full.h"
#endif
#include "platform/InputState.h"

int main(int argc, char** argv) {
  ReplayOptions options;
  if (!ParseReplayArgs(argc, argv, options)) return 2;
  // The whole script is checked before the first frame, so a bad line runs nothing.
  std::vector<ScriptSegment> segments;
  if (options.scriptGiven && !LoadScript(options.scriptPath, segments)) return 2;
  if (options.full) {
#ifdef QUARN_REPLAY_FULL
    return RunFullReplay(options, segments);
#else
    std::fprintf(stderr, "quarn-replay: --full is not available in this build (no OpenGL)\n");
    return 2;
#endif
  }
  StartReplayGame(options);
  long frames = RunPlayScript(segments, options.trace);
  if (options.dumpWorld) DumpWorld();
  std::printf("end frames=%ld done=%d\n", frames, done ? 1 : 0);
  return 0;
}
