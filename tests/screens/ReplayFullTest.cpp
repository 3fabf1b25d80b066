// The replay tool's full mode end to end: a scripted session from the menu into
// play, digging, a purchase on the craft screen and back, read from its trace.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
  int status = -1;
  std::vector<std::vector<std::string>> lines;  // stdout, split into fields
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

ToolRun RunTool(const std::string& args, const char* tool = QUARN_REPLAY_EXE) {
  std::string base = ::testing::TempDir() + "quarn_full_" + std::to_string(getpid());
  std::string command = std::string("cd '") + QUARN_DATA_DIR + "' && '" + tool + "' " + args + " >" +
                        base + ".out 2>" + base + ".err";
  ToolRun run;
  int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::istringstream out(Slurp(base + ".out"));
  for (std::string line; std::getline(out, line);) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string w; fields >> w;) f.push_back(w);
    run.lines.push_back(f);
  }
  run.err = Slurp(base + ".err");
  std::remove((base + ".out").c_str());
  std::remove((base + ".err").c_str());
  return run;
}

// Trace fields: frame screen playerX playerY velocityY airborne cameraLift digTicks
// digFraction targetColumn targetRow inv0..inv5 won speedBonus powerBonus rangeBonus seed.
constexpr int kScreen = 1, kPlayerY = 3, kInv0 = 11, kInv1 = 12, kSpeedBonus = 18;

int Int(const std::vector<std::string>& line, int field) { return std::atoi(line.at(size_t(field)).c_str()); }

bool NoGl() {
  const char* v = std::getenv("QUARN_NO_GL");
  return v && std::strcmp(v, "1") == 0;
}

// A short session through every screen (seed 2): the menu with "game" under the
// pointer and its click, the fall onto the tree, digging the leaves with the
// progress sector and the counts, the craft screen with a row under the
// pointer, and play again. 106 frames.
std::string WriteShortSession() {
  std::string script = ::testing::TempDir() + "quarn_full_short_" + std::to_string(getpid()) + ".script";
  std::ofstream(script) << "3 - 400 200 0\n1 - 400 200 1\n1 - 400 100 0\n20 - 400 100 0\n70 - 400 165 1\n"
                           "1 - 400 165 0\n1 - 600 575 1\n1 - 600 575 0\n1 - 100 75 1\n1 - 100 75 0\n"
                           "1 - 600 575 1\n5 - 600 575 0\n";
  return script;
}

TEST(ReplayFull, MenuPlayDigCraftAndBack) {
  if (NoGl()) GTEST_SKIP() << "QUARN_NO_GL=1";
  std::string shot = ::testing::TempDir() + "quarn_full_shot_" + std::to_string(getpid()) + ".bmp";
  ToolRun run = RunTool(std::string("--seed 2 --full --trace --script '") + QUARN_SCRIPT + "' --screenshot 639:" + shot);
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 647u) << run.err;
  ASSERT_EQ(run.lines.back().size(), 3u);
  EXPECT_EQ(run.lines.back()[0], "end");
  EXPECT_EQ(run.lines.back()[1], "frames=646");
  EXPECT_EQ(run.lines.back()[2], "done=0");

  // The click on "game" in frame 4 takes effect with frame 5; play frames leave
  // the screen at 2 until the "craft" click.
  for (int f = 1; f <= 3; ++f) EXPECT_EQ(Int(run.lines[size_t(f - 1)], kScreen), 1) << "frame " << f;
  EXPECT_EQ(Int(run.lines[3], kScreen), 2);

  int firstCraft = 0, purchase = 0, backInPlay = 0;
  int maxInv0 = 0, maxInv1 = 0;
  for (size_t i = 0; i + 1 < run.lines.size(); ++i) {
    const auto& line = run.lines[i];
    ASSERT_EQ(line.size(), 22u) << "frame " << i + 1;
    int frame = Int(line, 0);
    ASSERT_EQ(frame, int(i) + 1);
    if (!firstCraft && Int(line, kScreen) == 3) firstCraft = frame;
    if (!purchase && Int(line, kSpeedBonus) == 1) purchase = frame;
    if (firstCraft && !backInPlay && frame > firstCraft && Int(line, kScreen) == 2) backInPlay = frame;
    if (!firstCraft) {
      maxInv0 = std::max(maxInv0, Int(line, kInv0));
      maxInv1 = std::max(maxInv1, Int(line, kInv1));
    }
  }
  // Dug down through leaves, trunk, grass and ground: enough for Speed row 0 (5 and 2).
  EXPECT_GE(maxInv0, 5);
  EXPECT_GE(maxInv1, 2);
  EXPECT_GT(Int(run.lines[size_t(firstCraft) - 2], kPlayerY), 300) << "the player went down the shaft";

  ASSERT_EQ(firstCraft, 637);
  ASSERT_EQ(purchase, 639);
  ASSERT_EQ(backInPlay, 641);
  const auto& before = run.lines[size_t(purchase) - 2];
  const auto& after = run.lines[size_t(purchase) - 1];
  EXPECT_EQ(Int(after, kInv0), Int(before, kInv0) - 5);
  EXPECT_EQ(Int(after, kInv1), Int(before, kInv1) - 2);
  EXPECT_EQ(Int(run.lines[645], kSpeedBonus), 1) << "the bonus carries back into play";
  EXPECT_EQ(Int(run.lines[645], kScreen), 2);

  // The purchase frame as drawn: Speed row 0 highlighted under the pointer, no
  // bottom bar on the craft screen.
  std::string bmp = Slurp(shot);
  std::remove(shot.c_str());
  ASSERT_EQ(bmp.size(), 54u + 800u * 600u * 3u);
  ASSERT_EQ(bmp.substr(0, 2), "BM");
  auto pixel = [&](int x, int y) {
    size_t at = 54 + (size_t(599 - y) * 800 + size_t(x)) * 3;  // bottom row first, BGR
    return std::vector<int>{uint8_t(bmp[at + 2]), uint8_t(bmp[at + 1]), uint8_t(bmp[at])};
  };
  auto near = [](std::vector<int> got, std::vector<int> want) {
    for (int i = 0; i < 3; ++i)
      if (std::abs(got[size_t(i)] - want[size_t(i)]) > 3) return false;
    return true;
  };
  EXPECT_TRUE(near(pixel(240, 95), {204, 51, 204}));
  EXPECT_TRUE(near(pixel(240, 150), {153, 153, 153}));
  EXPECT_TRUE(near(pixel(1, 575), {0, 128, 0}));
  EXPECT_TRUE(near(pixel(400, 575), {0, 128, 0}));
}

TEST(ReplayFull, ExitButtonStopsAfterItsFrameAndScreenshotsNeedTheirFrame) {
  if (NoGl()) GTEST_SKIP() << "QUARN_NO_GL=1";
  std::string script = ::testing::TempDir() + "quarn_full_exit_" + std::to_string(getpid()) + ".script";
  std::ofstream(script) << "2 - 400 350 0\n1 - 400 350 1\n50 - 400 350 0\n";
  std::string shot = ::testing::TempDir() + "quarn_full_never_" + std::to_string(getpid()) + ".bmp";
  ToolRun run = RunTool("--full --trace --script '" + script + "' --screenshot 10:" + shot);
  std::remove(script.c_str());
  EXPECT_EQ(run.status, 1) << "a screenshot of a frame never drawn is an error";
  EXPECT_NE(run.err.find("frame 10"), std::string::npos) << run.err;
  ASSERT_EQ(run.lines.size(), 4u);
  EXPECT_EQ(run.lines[3][1], "frames=3");
  EXPECT_EQ(run.lines[3][2], "done=1");
  EXPECT_FALSE(std::ifstream(shot).good());

  const std::string shortSession = WriteShortSession();
  ToolRun timed = RunTool("--full --timedemo --script '" + shortSession + "'");
  std::remove(shortSession.c_str());
  ASSERT_EQ(timed.status, 0) << timed.err;
  ASSERT_GE(timed.lines.size(), 2u);
  // timedemo: <frames> frames <seconds> s <fps> fps <ms> ms/frame
  const auto& t = timed.lines[0];
  ASSERT_EQ(t.size(), 9u);
  EXPECT_EQ(t[0], "timedemo:");
  EXPECT_EQ(t[1], "106");
  EXPECT_EQ(t[2], "frames");
  EXPECT_EQ(t[4], "s");
  EXPECT_EQ(t[6], "fps");
  EXPECT_EQ(t[8], "ms/frame");
  EXPECT_GT(std::atof(t[7].c_str()), 0.0);
}

TEST(ReplayFull, ScreenshotAndTimedemoArgumentsAreChecked) {
  for (const char* args : {"--timedemo", "--screenshot 5:/tmp/x.bmp", "--full --screenshot 5",
                           "--full --screenshot 0:/tmp/x.bmp", "--full --screenshot 5:", "--full --screenshot",
                           "--full --screenshot x:/tmp/x.bmp", "--nudge 0.004,0.004", "--full --nudge 0.02,0",
                           "--full --nudge 0.004", "--full --nudge 0.004,x", "--full --nudge nan,0", "--gl layer",
                           "--full --gl", "--full --gl es"}) {
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_TRUE(run.lines.empty()) << args;
    EXPECT_FALSE(run.err.empty()) << args;
  }
}

TEST(ReplayFull, UnwritableScreenshotFailsTheRun) {
  if (NoGl()) GTEST_SKIP() << "QUARN_NO_GL=1";
  ToolRun run = RunTool("--full --screenshot 1:/nonexistent/dir/shot.bmp --script /dev/null");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("frame 1 was never drawn"), std::string::npos) << run.err;
  std::string script = ::testing::TempDir() + "quarn_full_one_" + std::to_string(getpid()) + ".script";
  std::ofstream(script) << "1 - 0 0 0\n";
  ToolRun one = RunTool("--full --screenshot 1:/nonexistent/dir/shot.bmp --script '" + script + "'");
  std::remove(script.c_str());
  EXPECT_EQ(one.status, 1);
  EXPECT_NE(one.err.find("cannot write screenshot /nonexistent/dir/shot.bmp"), std::string::npos) << one.err;
  ASSERT_FALSE(one.lines.empty());
  EXPECT_EQ(one.lines.back()[1], "frames=1");
}

TEST(ReplayFull, MissingImagesEndWithTheRuntimeError) {
  if (NoGl()) GTEST_SKIP() << "QUARN_NO_GL=1";
  char dir[] = "/tmp/quarn-noimages-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string err = std::string(dir) + "/err";
  std::string command = std::string("cd '") + dir + "' && '" + QUARN_REPLAY_EXE + "' --full </dev/null >/dev/null 2>'" +
                        err + "'";
  int raw = std::system(command.c_str());
  std::string text = Slurp(err);
  std::remove(err.c_str());
  rmdir(dir);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 2) << text;
  EXPECT_EQ(text.rfind("Error: Runtime error   2 at ", 0), 0u) << text;
}

#ifdef QUARN_REPLAY_LAYER
// A session drawn with desktop OpenGL and through the GL 1.1 layer on OpenGL
// ES, both on Mesa's llvmpipe: the layer's vertices land on the same window
// positions and its shader computes what the fixed function does, so every
// pixel must match. Frames: the menu with "game" under the pointer and its
// click, the first play frame, digging with the progress sector and the counts,
// the craft screen, and play again.
TEST(ReplayFull, GlesLayerDrawsTheSessionPixelForPixelAsDesktopOpenGl) {
  if (NoGl()) GTEST_SKIP() << "QUARN_NO_GL=1";
  const int frames[] = {1, 4, 5, 60, 95, 98, 100, 102, 106};
  const std::string base = ::testing::TempDir() + "quarn_layer_" + std::to_string(getpid()) + "_";
  const std::string shortSession = WriteShortSession();
  std::string args = std::string("--seed 2 --full --script '") + shortSession + "'";
  for (int f : frames) args += " --screenshot " + std::to_string(f) + ":" + base + "%s" + std::to_string(f) + ".bmp";
  auto withTool = [&](const char* tag) {
    std::string a = args;
    for (size_t at; (at = a.find("%s")) != std::string::npos;) a.replace(at, 2, tag);
    return a;
  };
  ToolRun desktop = RunTool(withTool("gl_"));
  ASSERT_EQ(desktop.status, 0) << desktop.err;
  ToolRun layer = RunTool(withTool("gles_") + " --gl layer");
  std::remove(shortSession.c_str());
  ASSERT_EQ(layer.status, 0) << layer.err;
  ASSERT_FALSE(layer.lines.empty());
  EXPECT_EQ(layer.lines.back(), desktop.lines.back());

  for (int f : frames) {
    const std::string glFile = base + "gl_" + std::to_string(f) + ".bmp";
    const std::string glesFile = base + "gles_" + std::to_string(f) + ".bmp";
    const std::string a = Slurp(glFile), b = Slurp(glesFile);
    std::remove(glFile.c_str());
    std::remove(glesFile.c_str());
    ASSERT_EQ(a.size(), 54u + 800u * 600u * 3u) << "frame " << f;
    ASSERT_EQ(b.size(), a.size()) << "frame " << f;
    EXPECT_EQ(a.substr(0, 54), b.substr(0, 54)) << "frame " << f << ": headers differ";
    int differing = 0, largest = 0;
    std::ostringstream first;
    for (size_t at = 54; at < a.size(); at += 3) {
      int most = 0;
      for (size_t ch = 0; ch < 3; ++ch) most = std::max(most, std::abs(int(uint8_t(a[at + ch])) - int(uint8_t(b[at + ch]))));
      if (most == 0) continue;
      largest = std::max(largest, most);
      if (++differing <= 5) {
        const size_t p = (at - 54) / 3;  // bottom row first, BGR
        first << " (" << p % 800 << ", " << 599 - p / 800 << ") desktop " << int(uint8_t(a[at + 2])) << ","
              << int(uint8_t(a[at + 1])) << "," << int(uint8_t(a[at])) << " layer " << int(uint8_t(b[at + 2])) << ","
              << int(uint8_t(b[at + 1])) << "," << int(uint8_t(b[at]));
      }
    }
    EXPECT_EQ(differing, 0) << "frame " << f << ": " << differing << " pixels differ, by up to " << largest
                            << " per channel; first:" << first.str();
  }
}
#endif

}  // namespace
