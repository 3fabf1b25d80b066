#include <cstdio>
#include <vector>

#include "Replay.h"
#include "platform/InputState.h"

int main(int argc, char** argv) {
  ReplayOptions options;
  if (!ParseReplayArgs(argc, argv, options)) return 2;
  // The whole script is checked before the first frame, so a bad line runs nothing.
  std::vector<ScriptSegment> segments;
  if (options.scriptGiven && !LoadScript(options.scriptPath, segments)) return 2;
  StartReplayGame(options);
  long frames = RunPlayScript(segments, options.trace);
  if (options.dumpWorld) DumpWorld();
  std::printf("end frames=%ld done=%d\n", frames, done ? 1 : 0);
  return 0;
}
