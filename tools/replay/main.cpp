#include <cstdio>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "Replay.h"
#ifdef QUARN_REPLAY_FULL
#include "Full.h"
#endif
#include "platform/InputState.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // Traces and dumps byte for byte as on Linux: no CR before each newline.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  ReplayOptions options;
  if (!ParseReplayArgs(argc, argv, options)) return 2;
  // The whole script is checked before the first frame, so a bad line runs nothing.
  std::vector<ScriptSegment> segments;
  if (options.scriptGiven && !LoadScript(options.scriptPath, segments)) return 2;
  if (options.full) {
#ifdef QUARN_REPLAY_FULL
    return RunFullReplay(options, segments);
#else
    std::fprintf(stderr, "quarn-replay: --full is not available in this build (no offscreen OpenGL context)\n");
    return 2;
#endif
  }
  StartReplayGame(options);
  int64_t frames = RunPlayScript(segments, options.trace);
  if (options.dumpWorld) DumpWorld();
  std::printf("end frames=%lld done=%d\n", (long long)frames, done ? 1 : 0);
  return 0;
}
