// quarn-replay --full: the real screens drawn in an offscreen OpenGL context,
// with screenshots and a timed run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Replay.h"

// Runs the script frame by frame as the main loop dispatches it, prints the
// trace, the world dump, the timedemo figures and the end line as asked, and
// returns the exit status. Images come from the working directory; a fatal
// image error ends the process with its runtime error code.
int RunFullReplay(const ReplayOptions& options, const std::vector<ScriptSegment>& segments);
