// Runs the quarn-replay executable as a user would.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "Replay.h"
#include "world/GameState.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string out, err;
  std::vector<std::string> lines;
};

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "quarn_replay_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string WriteTemp(const std::string& name, const std::string& text) {
  std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

#ifdef _WIN32
// The tool lies beside this test program; the command shell wants its own path form.
std::string ToolCommand() {
  return "\"" + (std::filesystem::path(_pgmptr).parent_path() / QUARN_REPLAY_EXE).string() + "\"";
}
int ExitStatus(int raw) { return raw; }
#else
std::string ToolCommand() { return QUARN_REPLAY_EXE; }
int ExitStatus(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }
#endif

// `args` is passed through the shell; `input`, when given, is standard input.
ToolRun RunTool(const std::string& args, const std::string& input = "") {
  std::string in = WriteTemp("stdin", input);
  std::string out = TempPath("stdout"), err = TempPath("stderr");
  std::string command = ToolCommand() + " " + args + " <" + in + " >" + out + " 2>" + err;
  ToolRun run;
  run.status = ExitStatus(std::system(command.c_str()));
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  std::remove(in.c_str());
  std::remove(out.c_str());
  std::remove(err.c_str());
  return run;
}

std::vector<std::string> Fields(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> fields;
  for (std::string f; in >> f;) fields.push_back(f);
  return fields;
}

}  // namespace

TEST(ReplayTool, TraceOfAFallingWalk) {
  // The start (20000, 50) is open sky in every world: the first frames are the
  // same whatever the seed.
  ToolRun run = RunTool("--seed 42 --script - --trace", "# walk right\n\n3 R 0 0 0\r\n2 - 0 0 0\n");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 6u) << run.out;
  const char* expected[] = {
      "1 1 20005 50 1 1 0 0 0 490 0",
      "2 1 20010 51 2 1 0 0 0 490 0",
      "3 1 20015 53 3 1 0 0 0 490 0",
      "4 1 20015 56 4 1 0 0 0 490 0",
      "5 1 20015 60 5 1 0 0 0 490 0",
  };
  for (int i = 0; i < 5; ++i) {
    std::vector<std::string> f = Fields(run.lines[i]);
    ASSERT_EQ(f.size(), 22u) << run.lines[i];
    EXPECT_EQ(run.lines[i].rfind(expected[i], 0), 0u) << run.lines[i];
  }
  EXPECT_EQ(run.lines[5], "end frames=5 done=0");
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(ReplayTool, ProgressPrintsInfAndNan) {
  // Button down from the first frame with digTicks 0: over a far Ground cell
  // (row 16 is under the surface everywhere) 120 / 0, over the sky 0 / 0.
  ToolRun run = RunTool("--seed 1 --script - --trace", "1 - 0 0 0\n1 - 400 500 1\n1 - 400 5 1\n");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 4u);
  EXPECT_EQ(Fields(run.lines[0])[8], "0");
  EXPECT_EQ(Fields(run.lines[1])[8], "inf");
  EXPECT_EQ(Fields(run.lines[2])[8], "nan");
}

TEST(ReplayTool, WithoutTraceOnlyTheEndLine) {
  ToolRun run = RunTool("--script -", "7 RU 10 10 1\n5 L 10 10 0\n");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 1u);
  EXPECT_EQ(run.lines[0], "end frames=12 done=0");
}

TEST(ReplayTool, SameSeedAndScriptSameRunAsInProcess) {
  const std::string script =
      "20 R 400 300 0\n40 RU 440 330 1\n200 - 400 340 1\n30 LD 380 320 1\n60 E 420 360 0\n100 DRULE 400 300 1\n";
  std::string path = WriteTemp("script", script);
  ToolRun a = RunTool("--seed 12345 --trace --script " + path);
  ToolRun b = RunTool("--trace --script " + path + " --seed 12345");
  ASSERT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  ASSERT_EQ(a.lines.size(), 451u);

  ReplayOptions options;
  options.seedGiven = true;
  options.seed = 12345;
  std::vector<ScriptSegment> segments;
  ASSERT_TRUE(LoadScript(path, segments));
  StartReplayGame(options);
  EXPECT_EQ(RunPlayScript(segments, false), 450);
  EXPECT_EQ(a.lines[449], TraceLine(450));
  std::remove(path.c_str());
}

TEST(ReplayTool, DumpWorldShowsTheDugCell) {
  // A world with no tree at the start column; dig the Grass the player lands on.
  ReplayOptions options;
  options.seedGiven = true;
  int32_t surface = 0;
  for (options.seed = 1; options.seed < 100; ++options.seed) {
    StartReplayGame(options);
    for (surface = 0; World[500][surface] != Grass;) ++surface;
    if (World[500][surface - 1] == Sky) break;
  }
  ASSERT_EQ(World[500][surface - 1], Sky);
  const std::string seed = std::to_string(options.seed);
  int32_t standY = surface * 30 - 12;  // where a fall from 50 comes to rest, roughly
  std::string script = "80 - 0 0 0\n40 - 400 " + std::to_string(surface * 30 + 15) + " 1\n";
  ToolRun run = RunTool("--seed " + seed + " --dump-world --trace --script -", script);
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.lines.size(), 120u + 1000u + 1u);
  std::vector<std::string> landed = Fields(run.lines[79]);
  EXPECT_NEAR(std::stoi(landed[3]), standY, 15);
  EXPECT_EQ(landed[5], "0");  // standing
  EXPECT_EQ(Fields(run.lines[110])[12], "0");  // 31 frames in: not yet
  EXPECT_EQ(Fields(run.lines[111])[12], "1");  // 32nd frame: one Grass in slot 1
  EXPECT_EQ(Fields(run.lines[111])[8], "inf");
  const std::string& column500 = run.lines[120 + 500];
  ASSERT_EQ(column500.size(), 25u);
  EXPECT_EQ(column500[surface], '0');  // a surface shaft turns into Sky
  EXPECT_EQ(run.lines.back(), "end frames=120 done=0");
}

TEST(ReplayTool, MalformedScriptRunsNothingAndExitsTwo) {
  struct Case {
    const char* script;
    const char* where;
    const char* text;
  } cases[] = {
      {"1 - 0 0 0\n# fine\n\n2 Q 0 0 0\n", ":4:", "2 Q 0 0 0"},
      {"1 - 0 0\n", ":1:", "1 - 0 0"},
      {"1 - 0 0 0\n0 R 0 0 0\n", ":2:", "0 R 0 0 0"},
      {"5 R 70000 0 0\n", ":1:", "5 R 70000 0 0"},
      {"5 R 1 1 3\n1 - 0 0 0\n", ":1:", "5 R 1 1 3"},
      {"1 - 0 0 0\n1 r 0 0 0", ":2:", "1 r 0 0 0"},
  };
  for (const Case& c : cases) {
    ToolRun run = RunTool("--trace --dump-world --script -", c.script);
    EXPECT_EQ(run.status, 2) << c.script;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_NE(run.err.find(c.where), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(c.text), std::string::npos) << run.err;
  }
  // Control bytes are shown escaped, not sent to the terminal.
  ToolRun run = RunTool("--script -", "1 \x1b[2J 0 0 0\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("\\x1b[2J"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
}

TEST(ReplayTool, BadArgumentsAndUnreadableScriptsExitTwo) {
  for (const char* args : {"--script", "--script ''", "--seed", "--seed x", "--seed 4294967296", "--frobnicate",
                           "--script /nonexistent/quarn.script", "--script /"}) {
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_TRUE(run.out.empty()) << args << ": " << run.out;
    EXPECT_FALSE(run.err.empty()) << args;
  }
  ToolRun empty = RunTool("--script -", "");
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "end frames=0 done=0\n");
}
