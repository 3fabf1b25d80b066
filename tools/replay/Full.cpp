#include "Full.h"

#include "platform/OpenGL.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "assets/FontUnit.h"
#include "platform/InputState.h"
#include "platform/Offscreen.h"
#include "platform/RenderWindow.h"
#include "platform/WindowProc.h"
#include "screens/Screens.h"
#include "world/GameState.h"
#include "world/Random.h"

namespace {

constexpr int32_t ViewWidth = 800;
constexpr int32_t ViewHeight = 600;
// Enough floor frames for a steady figure, few enough to stay a footnote.
constexpr int FloorFrames = 300;

using Clock = std::chrono::steady_clock;

struct ScreenTime {
  long frames = 0;
  double seconds = 0.0;
  double processorSeconds = 0.0;
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor time of the whole process, the rasterizer's threads included: what
// a frame costs the machine, which the time it takes hides on a busy machine
// and overstates when the rasterizer works in parallel. Linux only (0 elsewhere).
double ProcessorSeconds() {
#ifdef __linux__
  timespec t;
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t) == 0) return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
#endif
  return 0.0;
}

// The cheapest frame any faithful renderer must pay: clear and one quad over
// the view. Its time a frame, and its processor time in `processor`.
double MeasureFloor(double& processor) {
  glFinish();
  Clock::time_point start = Clock::now();
  const double processorStart = ProcessorSeconds();
  for (int i = 0; i < FloorFrames; ++i) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor3f(0.5f, 0.5f, 0.5f);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(0, ViewHeight);
    glVertex2i(ViewWidth, ViewHeight);
    glVertex2i(ViewWidth, 0);
    glEnd();
    glFinish();
  }
  processor = (ProcessorSeconds() - processorStart) / FloorFrames;
  return Seconds(Clock::now() - start) / FloorFrames;
}

}  // namespace

int RunFullReplay(const ReplayOptions& options, const std::vector<ScriptSegment>& segments) {
  char error[256] = "";
  const OffscreenGl kind = options.gl11Layer ? OffscreenGl11Layer : OffscreenDesktopGl;
  if (!CreateOffscreenContext(ViewWidth, ViewHeight, kind, error, sizeof error)) {
    std::fprintf(stderr, "quarn-replay: --full: no offscreen OpenGL context: %s\n", error);
    return 1;
  }
  // Message boxes keep their default route: "Error: <text>" on stderr.
  ResetReplayState(options);
  ResizeView(ViewWidth, ViewHeight);
  if (options.nudgeX != 0.0f || options.nudgeY != 0.0f) {
    glMatrixMode(GL_PROJECTION);
    glTranslatef(options.nudgeX, options.nudgeY, 0.0f);
    glMatrixMode(GL_MODELVIEW);
  }
  SetupGame();

  int status = 0;
  long frame = 0;
  ScreenTime perScreen[4];
  std::vector<bool> shot(options.screenshots.size(), false);
  double framesSeconds = 0.0;

  ScriptSegment held;
  bool stop = false;
  for (const ScriptSegment& segment : segments) {
    if (stop) break;
    Clock::time_point messagesStart = Clock::now();
    DeliverSegmentMessages(held, segment);
    held = segment;
    double messagesSeconds = Seconds(Clock::now() - messagesStart);
    for (int32_t i = 0; i < segment.frames && !stop; ++i) {
      int32_t drawn = screen;
      Clock::time_point start = Clock::now();
      const double processorStart = ProcessorSeconds();
      ++frameCount;
      DrawScreenFrame();
      EndInputFrame();
      if (options.timedemo) glFinish();
      // The segment's messages count towards its first frame.
      double seconds = Seconds(Clock::now() - start) + (i == 0 ? messagesSeconds : 0.0);
      framesSeconds += seconds;
      if (drawn >= 1 && drawn <= 3) {
        perScreen[drawn].frames += 1;
        perScreen[drawn].seconds += seconds;
        perScreen[drawn].processorSeconds += ProcessorSeconds() - processorStart;
      }
      ++frame;
      if (options.trace) PrintTraceLine(frame);
      for (size_t k = 0; k < options.screenshots.size(); ++k) {
        if (options.screenshots[k].frame != frame) continue;
        shot[k] = true;
        if (!WriteViewBmp(options.screenshots[k].file.c_str(), ViewWidth, ViewHeight)) {
          std::fprintf(stderr, "quarn-replay: cannot write screenshot %s: %s\n",
                       options.screenshots[k].file.c_str(), std::strerror(errno));
          status = 1;
        }
      }
      // The main loop tests done before its next pass.
      if (done) stop = true;
    }
  }

  for (size_t k = 0; k < options.screenshots.size(); ++k) {
    if (shot[k]) continue;
    std::fprintf(stderr, "quarn-replay: frame %lld was never drawn (%ld frames ran); no screenshot %s\n",
                 (long long)options.screenshots[k].frame, frame, options.screenshots[k].file.c_str());
    status = 1;
  }

  if (options.dumpWorld) DumpWorld();

  if (options.timedemo) {
    double fpsValue = framesSeconds > 0.0 ? double(frame) / framesSeconds : 0.0;
    double msPerFrame = frame > 0 ? 1000.0 * framesSeconds / double(frame) : 0.0;
    std::printf("timedemo: %ld frames %.3f s %.1f fps %.3f ms/frame\n", frame, framesSeconds, fpsValue,
                msPerFrame);
    static const char* const names[4] = {"", "menu", "play", "craft"};
    for (int s = 1; s <= 3; ++s) {
      if (perScreen[s].frames == 0) continue;
      std::printf("timedemo %s: %ld frames %.3f s %.3f ms/frame, processor %.3f ms/frame\n", names[s],
                  perScreen[s].frames, perScreen[s].seconds, 1000.0 * perScreen[s].seconds / double(perScreen[s].frames),
                  1000.0 * perScreen[s].processorSeconds / double(perScreen[s].frames));
    }
    double floorProcessor = 0.0;
    double floorSeconds = MeasureFloor(floorProcessor);
    std::printf("timedemo floor: %d frames %.3f ms/frame, processor %.3f ms/frame (clear and one 800 x 600 quad);"
                " ratio %.2f\n", FloorFrames, 1000.0 * floorSeconds, 1000.0 * floorProcessor,
                floorSeconds > 0.0 ? msPerFrame / (1000.0 * floorSeconds) : 0.0);
  }

  std::printf("end frames=%ld done=%d\n", frame, done ? 1 : 0);
  std::fflush(stdout);
  FreeGlyphLists();
  DestroyOffscreenContext();
  return status;
}
