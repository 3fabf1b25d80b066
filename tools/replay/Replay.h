// quarn-replay: the game without a window, for reproducing and checking runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowProc.h"

// --screenshot FRAME:FILE: the view after frame FRAME (1 = the first frame).
struct ScreenshotRequest {
  int64_t frame = 0;
  std::string file;
};

struct ReplayOptions {
  bool seedGiven = false;
  uint32_t seed = 0;
  bool dumpWorld = false;
  bool scriptGiven = false;
  std::string scriptPath;  // "-" reads standard input
  bool trace = false;
  // Full mode: the real screens in an offscreen OpenGL context (Full.cpp).
  bool full = false;
  bool timedemo = false;
  std::vector<ScreenshotRequest> screenshots;
  // --nudge X,Y: the view moved by a small fraction of a pixel, so that a
  // texture sample lying exactly on a texel boundary falls to one side of it
  // (what a renderer that rounds such ties the other way would draw).
  float nudgeX = 0.0f, nudgeY = 0.0f;
  // --gl layer: draw through the GL 1.1 layer in an OpenGL ES 3 context instead
  // of desktop OpenGL (--gl desktop, the default), to compare the two.
  bool gl11Layer = false;
};

// Parses the command line. On a bad argument writes one line to stderr and
// returns false.
bool ParseReplayArgs(int argc, char** argv, ReplayOptions& options);

// Parses a decimal 0..4294967295 with nothing else around it.
bool ParseSeed(const std::string& text, uint32_t& seed);

// Process-start game and input state, and the seed to inject after reseeding.
void ResetReplayState(const ReplayOptions& options);

// Process-start values, then the game part of the setup.
void StartReplayGame(const ReplayOptions& options);

// 1000 lines, column 0 first, each the 25 tile codes in lower-case hexadecimal.
void DumpWorld();

// --- Scripts ---
//
// One segment per line: "<frames> <keys> <mouseX> <mouseY> <button>", where keys
// is "-" or letters from E L U R D in any order. Blank lines and lines starting
// with '#' are skipped.

// Script keys in the order their messages are delivered: Esc, Left, Up, Right, Down.
constexpr int ScriptKeyCount = 5;
extern const char scriptKeyLetters[ScriptKeyCount + 1];  // "ELURD"
extern const uint32_t scriptKeyCodes[ScriptKeyCount];    // 27, 37, 38, 39, 40

// The input held for `frames` frames. A value-initialised segment is the state
// before the first one: nothing held, pointer at (0, 0), button up.
struct ScriptSegment {
  int32_t frames = 0;
  bool keys[ScriptKeyCount] = {};  // indexed like scriptKeyLetters
  int32_t mouseX = 0;              // client pixels, 0..65535
  int32_t mouseY = 0;
  bool button = false;
  long line = 0;  // where it came from, for messages
};

enum class ScriptLineKind { Skip, Segment, Malformed };

// One line without its newline (a trailing CR is tolerated). On Malformed,
// `reason` says what is wrong.
ScriptLineKind ParseScriptLine(const std::string& text, ScriptSegment& segment, std::string& reason);

// Reads a whole script ("-" for standard input). On a malformed line or a file
// that cannot be read, writes one message to stderr (file, line number and the
// line's text) and returns false; `segments` is then unspecified.
bool LoadScript(const std::string& path, std::vector<ScriptSegment>& segments);

// The window messages that turn the held state of `previous` into that of
// `next`: the move if the pointer moved, then key changes in E L U R D order,
// then the button. A key held in both gets no message, so a key the game
// consumed stays consumed. Returns how many were written.
constexpr int MaxSegmentMessages = 1 + ScriptKeyCount + 1;
int SegmentMessages(const ScriptSegment& previous, const ScriptSegment& next,
                    WindowMessage out[MaxSegmentMessages]);

// Hands those messages to WindowProc, in order.
void DeliverSegmentMessages(const ScriptSegment& previous, const ScriptSegment& next);

// --- Traces ---

// "inf", "-inf", "nan" (any NaN), otherwise C's %.9g of the value as a double.
std::string FormatDigFraction(float value);

// frame screen playerX playerY velocityY airborne cameraLift digTicks digFraction
// targetColumn targetRow inv0..inv5 won speedBonus powerBonus rangeBonus randomSeed
// (no newline).
std::string TraceLine(int64_t frame);

// TraceLine and a newline on standard output.
void PrintTraceLine(int64_t frame);

// The default mode: every frame is one UpdatePlay, whatever screen holds.
// Returns the number of frames run (64 bits: a script may hold more than 2^31,
// and long has only 32 bits on Windows).
int64_t RunPlayScript(const std::vector<ScriptSegment>& segments, bool trace);
