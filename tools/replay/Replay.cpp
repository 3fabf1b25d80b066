#include "Replay.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/InputState.h"
#include "sim/UpdatePlay.h"
#include "world/Crafting.h"
#include "world/GameState.h"
#include "world/Random.h"

const char scriptKeyLetters[ScriptKeyCount + 1] = "ELURD";
const uint32_t scriptKeyCodes[ScriptKeyCount] = {VK_ESCAPE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};

namespace {

// Decimal digits only, value in min..max.
bool ParseBoundedInt(const std::string& text, int64_t min, int64_t max, int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  int64_t v = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + (ch - '0');
  }
  if (v < min || v > max) return false;
  value = v;
  return true;
}

// The line as it can safely go to a terminal.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char ch : text) {
    if (ch >= 0x20 && ch < 0x7F) {
      out += char(ch);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", ch);
      out += hex;
    }
  }
  return out;
}

}  // namespace

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
    } else if (arg == "--script") {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        std::fprintf(stderr, "quarn-replay: --script needs a file name or -\n");
        return false;
      }
      options.scriptPath = argv[++i];
      options.scriptGiven = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--dump-world") {
      options.dumpWorld = true;
    } else if (arg == "--full") {
      options.full = true;
    } else if (arg == "--timedemo") {
      options.timedemo = true;
    } else if (arg == "--screenshot") {
      ScreenshotRequest request;
      std::string value = i + 1 < argc ? argv[i + 1] : "";
      size_t colon = value.find(':');
      int64_t frame = 0;
      if (colon == std::string::npos || !ParseBoundedInt(value.substr(0, colon), 1, INT32_MAX, frame) ||
          colon + 1 >= value.size()) {
        std::fprintf(stderr, "quarn-replay: --screenshot needs FRAME:FILE with FRAME from 1 (got '%s')\n",
                     Printable(value).c_str());
        return false;
      }
      ++i;
      request.frame = frame;
      request.file = value.substr(colon + 1);
      options.screenshots.push_back(request);
    } else if (arg == "--nudge") {
      std::string value = i + 1 < argc ? argv[i + 1] : "";
      char* end = nullptr;
      float x = std::strtof(value.c_str(), &end);
      float y = *end == ',' ? std::strtof(end + 1, &end) : 1.0f;
      // Far less than the smallest distance of any other sample from a texel
      // boundary, and nowhere near moving an edge across a pixel centre.
      if (value.empty() || *end != '\0' || !(std::fabs(x) <= 0.01f) || !(std::fabs(y) <= 0.01f)) {
        std::fprintf(stderr, "quarn-replay: --nudge needs X,Y, each within 0.01 pixels (got '%s')\n",
                     Printable(value).c_str());
        return false;
      }
      ++i;
      options.nudgeX = x;
      options.nudgeY = y;
    } else if (arg == "--gl") {
      std::string value = i + 1 < argc ? argv[i + 1] : "";
      if (value != "desktop" && value != "layer") {
        std::fprintf(stderr, "quarn-replay: --gl needs desktop or layer (got '%s')\n", Printable(value).c_str());
        return false;
      }
      ++i;
      options.gl11Layer = value == "layer";
    } else {
      std::fprintf(stderr, "quarn-replay: unknown argument '%s'\n", arg.c_str());
      return false;
    }
  }
  if (!options.full && (options.timedemo || !options.screenshots.empty() || options.nudgeX != 0.0f ||
                        options.nudgeY != 0.0f || options.gl11Layer)) {
    std::fprintf(stderr, "quarn-replay: --screenshot, --timedemo, --nudge and --gl need --full\n");
    return false;
  }
  return true;
}

void ResetReplayState(const ReplayOptions& options) {
  InitGameState();
  ResetInputState();
  if (options.seedGiven)
    SetFixedSeed(options.seed);
  else
    ClearFixedSeed();
}

void StartReplayGame(const ReplayOptions& options) {
  ResetReplayState(options);
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

ScriptLineKind ParseScriptLine(const std::string& text, ScriptSegment& segment, std::string& reason) {
  std::string line = text;
  if (!line.empty() && line.back() == '\r') line.pop_back();

  std::vector<std::string> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    fields.push_back(line.substr(start, i - start));
  }
  if (fields.empty() || fields[0][0] == '#') return ScriptLineKind::Skip;

  if (fields.size() != 5) {
    reason = "want 5 fields (frames keys mouseX mouseY button), got " + std::to_string(fields.size());
    return ScriptLineKind::Malformed;
  }
  ScriptSegment parsed;
  int64_t value = 0;
  if (!ParseBoundedInt(fields[0], 1, INT32_MAX, value)) {
    reason = "frames must be a whole number from 1 to 2147483647";
    return ScriptLineKind::Malformed;
  }
  parsed.frames = int32_t(value);
  if (fields[1] != "-") {
    for (char ch : fields[1]) {
      const char* at = ch != '\0' ? std::strchr(scriptKeyLetters, ch) : nullptr;
      if (!at) {
        reason = "keys must be - or letters from E L U R D";
        return ScriptLineKind::Malformed;
      }
      parsed.keys[at - scriptKeyLetters] = true;
    }
  }
  // A move message carries each coordinate in 16 unsigned bits.
  if (!ParseBoundedInt(fields[2], 0, 65535, value)) {
    reason = "mouseX must be a whole number from 0 to 65535";
    return ScriptLineKind::Malformed;
  }
  parsed.mouseX = int32_t(value);
  if (!ParseBoundedInt(fields[3], 0, 65535, value)) {
    reason = "mouseY must be a whole number from 0 to 65535";
    return ScriptLineKind::Malformed;
  }
  parsed.mouseY = int32_t(value);
  if (fields[4] != "0" && fields[4] != "1") {
    reason = "button must be 0 or 1";
    return ScriptLineKind::Malformed;
  }
  parsed.button = fields[4] == "1";
  segment = parsed;
  return ScriptLineKind::Segment;
}

bool LoadScript(const std::string& path, std::vector<ScriptSegment>& segments) {
  bool fromStdin = path == "-";
  const char* name = fromStdin ? "<stdin>" : path.c_str();
  std::FILE* file = fromStdin ? stdin : std::fopen(path.c_str(), "rb");
  if (!file) {
    std::fprintf(stderr, "quarn-replay: cannot read script %s: %s\n", name, std::strerror(errno));
    return false;
  }
  segments.clear();
  bool ok = true;
  long lineNumber = 0;
  std::string line;
  bool more = true;
  while (more && ok) {
    line.clear();
    int ch;
    while ((ch = std::fgetc(file)) != EOF && ch != '\n') line += char(ch);
    if (ch == EOF) {
      more = false;
      if (std::ferror(file)) {
        std::fprintf(stderr, "quarn-replay: cannot read script %s: %s\n", name, std::strerror(errno));
        ok = false;
        break;
      }
      if (line.empty()) break;  // no text after the last newline
    }
    ++lineNumber;
    ScriptSegment segment;
    std::string reason;
    switch (ParseScriptLine(line, segment, reason)) {
      case ScriptLineKind::Skip:
        break;
      case ScriptLineKind::Segment:
        segment.line = lineNumber;
        segments.push_back(segment);
        break;
      case ScriptLineKind::Malformed:
        std::fprintf(stderr, "quarn-replay: %s:%ld: malformed script line '%s': %s\n", name, lineNumber,
                     Printable(line).c_str(), reason.c_str());
        ok = false;
        break;
    }
  }
  if (!fromStdin) std::fclose(file);
  return ok;
}

int SegmentMessages(const ScriptSegment& previous, const ScriptSegment& next,
                    WindowMessage out[MaxSegmentMessages]) {
  int count = 0;
  if (next.mouseX != previous.mouseX || next.mouseY != previous.mouseY)
    out[count++] = {nullptr, WM_MOUSEMOVE, 0, MakeLParam(uint32_t(next.mouseX), uint32_t(next.mouseY))};
  for (int k = 0; k < ScriptKeyCount; ++k) {
    if (next.keys[k] == previous.keys[k]) continue;
    out[count++] = {nullptr, next.keys[k] ? WM_KEYDOWN : WM_KEYUP, scriptKeyCodes[k], 0};
  }
  if (next.button != previous.button)
    out[count++] = {nullptr, next.button ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0,
                    MakeLParam(uint32_t(next.mouseX), uint32_t(next.mouseY))};
  return count;
}

void DeliverSegmentMessages(const ScriptSegment& previous, const ScriptSegment& next) {
  WindowMessage messages[MaxSegmentMessages];
  int count = SegmentMessages(previous, next, messages);
  for (int i = 0; i < count; ++i)
    WindowProc(messages[i].window, messages[i].message, messages[i].wParam, messages[i].lParam);
}

std::string FormatDigFraction(float value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", double(value));
  return text;
}

std::string TraceLine(int64_t frame) {
  char text[512];
  std::snprintf(text, sizeof text,
                "%lld %d %d %d %d %d %d %d %s %d %d %d %d %d %d %d %d %d %d %d %d %u", (long long)frame, int(screen),
                int(playerX), int(playerY), int(velocityY), airborne ? 1 : 0, int(cameraLift), int(digTicks),
                FormatDigFraction(digFraction).c_str(), int(targetColumn), int(targetRow), int(inventory[0]),
                int(inventory[1]), int(inventory[2]), int(inventory[3]), int(inventory[4]), int(inventory[5]),
                won ? 1 : 0, int(speedBonus), int(powerBonus), int(rangeBonus), unsigned(randomSeed));
  return text;
}

void PrintTraceLine(int64_t frame) {
  std::string line = TraceLine(frame);
  line += '\n';
  std::fputs(line.c_str(), stdout);
}

int64_t RunPlayScript(const std::vector<ScriptSegment>& segments, bool trace) {
  int64_t frame = 0;
  ScriptSegment held;  // nothing held, pointer at (0, 0), button up
  for (const ScriptSegment& segment : segments) {
    DeliverSegmentMessages(held, segment);
    held = segment;
    for (int32_t i = 0; i < segment.frames; ++i) {
      UpdatePlay();
      EndInputFrame();
      ++frame;
      if (trace) PrintTraceLine(frame);
    }
  }
  return frame;
}
