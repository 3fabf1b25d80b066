// The render thread's queue against a recording table: what the drawing code
// calls must reach OpenGL on the other thread in order, with its arguments and
// arrays as they were at the call, and the calls that hand something back, the
// uploads and the presentations must wait as long as they have to.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/OpenGL.h"
#include "platform/sdl/RenderQueue.h"

namespace {

// Written on the render thread; read once a waiting call has returned.
std::vector<std::string> calls;
GLuint nextListName = 41;

template <typename T>
void Put(std::ostringstream& out, T value) {
  if constexpr (std::is_pointer_v<T>)
    out << (value ? "ptr" : "null");
  else if constexpr (sizeof(T) == 1)
    out << int(value);
  else
    out << value;
}

template <typename... Values>
void Record(const char* name, const std::tuple<Values...>& values) {
  std::ostringstream out;
  out << name << "(";
  std::apply([&out](auto... v) {
    int n = 0;
    ((out << (n++ ? "," : ""), Put(out, v)), ...);
  }, values);
  out << ")";
  calls.push_back(out.str());
}

#define QUARN_RECORD(Result, Name, Parameters, Arguments) \
  Result QUARN_GLAPI Record##Name Parameters {            \
    Record("gl" #Name, std::make_tuple Arguments);        \
    return Result();                                      \
  }
QUARN_GL_CALLS(QUARN_RECORD)
#undef QUARN_RECORD

// The calls whose memory matters: what was there when they ran.
void QUARN_GLAPI RecordColor3fvValues(const GLfloat* v) { Record("glColor3fv", std::make_tuple(v[0], v[1], v[2])); }
void QUARN_GLAPI RecordCallListsNames(GLsizei n, GLenum type, const GLvoid* lists) {
  std::ostringstream out;
  out << "glCallLists(" << n << "," << type << ",";
  for (GLsizei i = 0; i < n; ++i) out << int(static_cast<const GLbyte*>(lists)[i]) << (i + 1 < n ? " " : "");
  out << ")";
  calls.push_back(out.str());
}
void QUARN_GLAPI RecordTexImage2DPixels(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum,
                                        const GLvoid* pixels) {
  calls.push_back("glTexImage2D(" + std::string(static_cast<const char*>(pixels), size_t(width * height * 4)) + ")");
}
GLuint QUARN_GLAPI AnswerGenLists(GLsizei range) {
  calls.push_back("glGenLists(" + std::to_string(range) + ")");
  const GLuint first = nextListName;
  nextListName += GLuint(range);
  return first;
}
void QUARN_GLAPI AnswerGetIntegerv(GLenum pname, GLint* params) {
  calls.push_back("glGetIntegerv(" + std::to_string(pname) + ")");
  *params = 4;
}

GlTable RecordingTable() {
  GlTable table;
#define QUARN_RECORDING_ENTRY(Result, Name, Parameters, Arguments) table.Name = Record##Name;
  QUARN_GL_CALLS(QUARN_RECORDING_ENTRY)
#undef QUARN_RECORDING_ENTRY
  table.Color3fv = RecordColor3fvValues;
  table.CallLists = RecordCallListsNames;
  table.TexImage2D = RecordTexImage2DPixels;
  table.GenLists = AnswerGenLists;
  table.GetIntegerv = AnswerGetIntegerv;
  return table;
}

const GlTable recording = RecordingTable();

class RenderQueueTest : public ::testing::Test {
 protected:
  // A small ring, so a few hundred calls go round it many times.
  void Start(uint64_t ringBytes = 4096) {
    calls.clear();
    nextListName = 41;
    ASSERT_TRUE(StartRenderQueue(&recording, ringBytes));
    replaced = InstallGlTable(QueuedGlTable());
  }
  void TearDown() override {
    StopRenderQueue();
    InstallGlTable(replaced);
  }
  GlTable replaced = glTable;
};

TEST_F(RenderQueueTest, CallsRunInOrderWithTheirArgumentsAndAnswersComeBack) {
  Start();
  glBegin(GL_QUADS);
  glVertex2i(-3, 7);
  glColor3f(0.5f, 0.25f, 1.0f);
  glTexCoord2f(0.125f, 0.75f);
  glEnd();
  glTranslated(1.5, -2.25, 0.0);
  glOrtho(0, 800, 600, 0, -1, 1);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);
  EXPECT_EQ(glGenLists(128), 41u);
  EXPECT_EQ(glGenLists(1), 169u);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4) << "the answer was read before the call ran";
  const std::vector<std::string> expected = {
      "glBegin(7)", "glVertex2i(-3,7)", "glColor3f(0.5,0.25,1)", "glTexCoord2f(0.125,0.75)", "glEnd()",
      "glTranslated(1.5,-2.25,0)", "glOrtho(0,800,600,0,-1,1)", "glBlendFunc(768,1)", "glGenLists(128)",
      "glGenLists(1)", "glGetIntegerv(3317)"};
  EXPECT_EQ(calls, expected);

  // Once the thread is gone, calls are dropped and answer zero, as calls
  // without a context do.
  StopRenderQueue();
  glBegin(GL_QUADS);
  EXPECT_EQ(glGenLists(1), 0u);
  EXPECT_EQ(calls.size(), expected.size());
}

TEST_F(RenderQueueTest, ArraysAndUploadsAreTheCallersAsTheyWereAtTheCall) {
  Start();
  // Copied arrays of every size up to the largest copied, many times round the
  // ring: commands that do not fit before its end skip to its start.
  std::vector<std::string> expected;
  GLbyte names[512];
  for (int i = 0; i < 600; ++i) {
    const GLsizei n = 1 + (i * 37) % 512;
    std::ostringstream want;
    want << "glCallLists(" << n << "," << GL_BYTE << ",";
    for (GLsizei k = 0; k < n; ++k) {
      names[k] = GLbyte(i + k);
      want << int(names[k]) << (k + 1 < n ? " " : "");
    }
    want << ")";
    glCallLists(n, GL_BYTE, names);
    std::memset(names, 0x55, sizeof names);
    expected.push_back(want.str());

    GLfloat colour[3] = {float(i), float(i) + 0.5f, float(i) + 0.25f};
    glColor3fv(colour);
    colour[0] = colour[1] = colour[2] = -1.0f;
    std::ostringstream wantColour;
    wantColour << "glColor3fv(" << float(i) << "," << float(i) + 0.5f << "," << float(i) + 0.25f << ")";
    expected.push_back(wantColour.str());
  }

  // An upload reads the caller's pixels: it has run when the call returns.
  char pixels[2 * 2 * 4 + 1] = "abcdefghijklmnop";
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  std::memset(pixels, 'x', 16);
  expected.push_back("glTexImage2D(abcdefghijklmnop)");

  StopRenderQueue();
  ASSERT_EQ(calls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(calls[i], expected[i]) << "call " << i;
}

std::atomic<int> presented{0};
void SlowPresent() {
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  presented.fetch_add(1);
}

TEST_F(RenderQueueTest, APresentationWaitsForTheOneBeforeIt) {
  Start();
  presented = 0;
  // The loop may draw the next frame while the last is shown, never more.
  for (int frame = 1; frame <= 4; ++frame) {
    glClear(GL_COLOR_BUFFER_BIT);
    PresentOnRenderThread(SlowPresent);
    EXPECT_GE(presented.load(), frame - 1) << "frame " << frame << " queued before frame " << frame - 1
                                           << " was shown";
  }
}

// Xlib ends the process with exit() on whichever thread finds the display
// gone. On the render thread, while the main thread waits for it, that must
// end the process, not hang it.
void ExitOnTheRenderThread() {
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the main thread is waiting by now
  std::exit(1);
}

TEST_F(RenderQueueTest, AnExitOnTheRenderThreadWhileTheMainThreadWaitsEndsTheProcess) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!StartRenderQueue(&recording)) _exit(3);
    InstallGlTable(QueuedGlTable());
    glClear(GL_COLOR_BUFFER_BIT);
    RunOnRenderThread(ExitOnTheRenderThread);
    _exit(2);  // the wait came back although its call never finished
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  pid_t ended = 0;
  while ((ended = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (ended == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the process hung after exit() on the render thread";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

}  // namespace
