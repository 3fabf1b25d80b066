#include "platform/sdl/RenderThread.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>

#include "platform/OpenGL.h"

// --- The queue ---------------------------------------------------------------
// One ring of commands, written by the main thread and run by the render
// thread. A command is a header (what runs it, its size) and its arguments,
// each in an 8-byte slot, padded to a whole number of headers. A command never
// wraps: one that does not fit before the end is preceded by a header without
// a runner, which skips to the start.

namespace {

using Runner = void (*)(const uint8_t* arguments);

struct CommandHeader {
  Runner run;      // null: skip to the start of the ring
  uint64_t bytes;  // the whole command, header included
};

constexpr size_t Slot = 8;
constexpr size_t RingBytes = size_t(1) << 20;  // a play frame queues about 200 KB
// Pointer arguments bigger than this are not copied; the call waits instead.
constexpr size_t LargestCopy = RingBytes / 8;

alignas(64) uint8_t ring[RingBytes];
// Bytes ever queued (made visible to the render thread) and ever run; the
// first is written by the main thread only, the second by the render thread
// only, each on a cache line of its own.
alignas(64) std::atomic<uint64_t> queued{0};
alignas(64) std::atomic<uint64_t> ran{0};
// The main thread's side: where it writes, and the last `ran` it read. It makes
// its commands visible in batches, so that queuing a call costs a few stores.
alignas(64) uint64_t head = 0;
uint64_t ranSeen = 0;
constexpr uint64_t BatchBytes = 16 * 1024;

// Sleeping, on either side, happens under this lock; each side tells the other
// whether it sleeps, so a wake-up costs nothing while both are busy.
std::mutex sleepLock;
std::condition_variable workArrived;  // render thread: the ring is no longer empty
std::condition_variable workDone;     // main thread: commands it waits for have run
std::atomic<bool> renderThreadSleeps{false};
std::atomic<bool> mainThreadWaits{false};

std::thread renderThread;
bool renderThreadRunning = false;  // main thread's view
SDL_Window* renderWindow = nullptr;
bool contextCurrent = false;       // written on the render thread while the main thread waits
uint64_t lastPresentation = 0;     // the mark of the last frame's presentation
bool keepRunning = false;          // render thread only
bool atExitSet = false;

constexpr uint64_t RoundUp(uint64_t bytes, uint64_t unit) { return (bytes + unit - 1) / unit * unit; }
// Commands fill the ring in whole headers, so there is always room for the skip.
constexpr uint64_t CommandBytes(uint64_t bytes) { return RoundUp(bytes, sizeof(CommandHeader)); }
static_assert(RingBytes % sizeof(CommandHeader) == 0, "the ring holds whole headers");

// Makes everything written so far visible to the render thread.
void Publish() {
  if (queued.load(std::memory_order_relaxed) == head) return;
  queued.store(head);
  if (renderThreadSleeps.load()) {
    std::lock_guard<std::mutex> hold(sleepLock);
    workArrived.notify_one();
  }
}

// Waits until the commands before `mark` have run.
void WaitUntilRun(uint64_t mark) {
  if (ranSeen >= mark) return;
  Publish();
  ranSeen = ran.load(std::memory_order_acquire);
  if (ranSeen >= mark) return;
  std::unique_lock<std::mutex> hold(sleepLock);
  mainThreadWaits.store(true);
  while ((ranSeen = ran.load()) < mark) workDone.wait(hold);
  mainThreadWaits.store(false);
}

// The same, for at most `limit`; false when the time ran out first.
bool WaitUntilRunFor(uint64_t mark, std::chrono::milliseconds limit) {
  Publish();
  std::unique_lock<std::mutex> hold(sleepLock);
  mainThreadWaits.store(true);
  const bool reached = workDone.wait_for(hold, limit, [mark] { return (ranSeen = ran.load()) >= mark; });
  mainThreadWaits.store(false);
  return reached;
}

// Waits until the ring has room for `bytes` more at the head.
void WaitForRoom(uint64_t bytes) {
  if (head + bytes > RingBytes) WaitUntilRun(head + bytes - RingBytes);
}

// Room for `bytes` at the head, skipping to the start of the ring if needed.
uint8_t* Reserve(uint64_t bytes) {
  const uint64_t toEnd = RingBytes - head % RingBytes;
  if (bytes > toEnd) {
    WaitForRoom(toEnd);
    CommandHeader skip = {nullptr, toEnd};
    std::memcpy(ring + head % RingBytes, &skip, sizeof skip);
    head += toEnd;
  }
  WaitForRoom(bytes);
  return ring + head % RingBytes;
}

// The command just written is queued; returns the mark reached once it has run.
uint64_t Commit(uint64_t bytes) {
  head += bytes;
  if (head - queued.load(std::memory_order_relaxed) >= BatchBytes) Publish();
  return head;
}

void RenderLoop() {
  uint64_t position = ran.load();
  uint64_t available = position;
  keepRunning = true;
  while (keepRunning) {
    if (available == position) available = queued.load(std::memory_order_acquire);
    if (available == position) {
      std::unique_lock<std::mutex> hold(sleepLock);
      renderThreadSleeps.store(true);
      while ((available = queued.load()) == position) workArrived.wait(hold);
      renderThreadSleeps.store(false);
      continue;
    }
    const uint8_t* command = ring + position % RingBytes;
    CommandHeader header;
    std::memcpy(&header, command, sizeof header);
    if (header.run) header.run(command + sizeof header);
    position += header.bytes;
    ran.store(position);
    if (mainThreadWaits.load()) {
      std::lock_guard<std::mutex> hold(sleepLock);
      workDone.notify_one();
    }
  }
}

// --- Commands ----------------------------------------------------------------

template <typename T>
void PutArgument(uint8_t*& at, T value) {
  static_assert(sizeof(T) <= Slot, "an argument takes one slot");
  std::memcpy(at, &value, sizeof value);
  at += Slot;
}

template <typename T>
T TakeArgument(const uint8_t*& at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  at += Slot;
  return value;
}

// Calls `Function` (a variable holding the real entry point) with the arguments
// of the command. A braced list takes them in order.
template <auto& Function, typename... Arguments>
void RunCall([[maybe_unused]] const uint8_t* at) {
  std::tuple<Arguments...> arguments{TakeArgument<Arguments>(at)...};
  std::apply(Function, arguments);
}

// Queues a call and returns the mark that is reached once it has run; 0 when
// no render thread runs (the call is dropped).
template <auto& Function, typename... Arguments>
uint64_t Queue(Arguments... arguments) {
  if (!renderThreadRunning) return 0;
  const uint64_t bytes = CommandBytes(sizeof(CommandHeader) + Slot * sizeof...(Arguments));
  uint8_t* at = Reserve(bytes);
  CommandHeader header = {&RunCall<Function, Arguments...>, bytes};
  std::memcpy(at, &header, sizeof header);
  at += sizeof header;
  (PutArgument(at, arguments), ...);
  return Commit(bytes);
}

// A call whose pointers must stay valid until it has run: the caller waits.
template <auto& Function, typename... Arguments>
void QueueAndWait(Arguments... arguments) {
  if (uint64_t mark = Queue<Function>(arguments...)) WaitUntilRun(mark);
}

// A call whose last argument is an array of `size` bytes: the array is copied
// into the command (after the other arguments), so the caller goes on at once.
template <auto& Function, typename Element, typename... Arguments>
void RunCallWithArray(const uint8_t* at) {
  std::tuple<Arguments...> arguments{TakeArgument<Arguments>(at)...};
  const Element* array = static_cast<const Element*>(static_cast<const void*>(at));
  std::apply([array](Arguments... a) { Function(a..., array); }, arguments);
}

template <auto& Function, typename Element, typename... Arguments>
void QueueWithArray(const Element* array, size_t size, Arguments... arguments) {
  if (!renderThreadRunning) return;
  const uint64_t bytes = CommandBytes(sizeof(CommandHeader) + Slot * sizeof...(Arguments) + size);
  uint8_t* at = Reserve(bytes);
  CommandHeader header = {&RunCallWithArray<Function, Element, Arguments...>, bytes};
  std::memcpy(at, &header, sizeof header);
  at += sizeof header;
  (PutArgument(at, arguments), ...);
  if (size > 0) std::memcpy(at, array, size);
  Commit(bytes);
}

// --- Context and window calls, run on the render thread ------------------------

// The outcome of the last call the main thread waited for.
void* createdContext = nullptr;
int contextCallStatus = 0;
char renderError[256];

void KeepRenderError() { std::snprintf(renderError, sizeof renderError, "%s", SDL_GetError()); }

void CreateOnRenderThread() {
  createdContext = SDL_GL_CreateContext(renderWindow);
  // SDL makes a new context current: the game sees none until it asks.
  if (createdContext) SDL_GL_MakeCurrent(renderWindow, nullptr);
  else KeepRenderError();
}

void MakeCurrentOnRenderThread(void* context) {
  contextCallStatus = SDL_GL_MakeCurrent(renderWindow, context);
  if (contextCallStatus != 0) {
    KeepRenderError();
    return;
  }
  contextCurrent = context != nullptr;
  // Some servers refuse this; they have no vsync anyway.
  if (contextCurrent) SDL_GL_SetSwapInterval(0);
}

void DeleteOnRenderThread(void* context) {
  SDL_GL_DeleteContext(context);
  contextCurrent = false;
}

void PresentOnThisThread() {
  if (contextCurrent) SDL_GL_SwapWindow(renderWindow);
}

void EndRenderLoop() { keepRunning = false; }

void (*createContext)() = CreateOnRenderThread;
void (*makeCurrent)(void*) = MakeCurrentOnRenderThread;
void (*deleteContext)(void*) = DeleteOnRenderThread;
void (*present)() = PresentOnThisThread;
void (*endRenderLoop)() = EndRenderLoop;

// A program that ends inside the game (a fatal image error) lets the thread
// run the calls it has before anything is torn down. One that ends because its
// display is gone (Xlib ends it from whichever thread noticed, holding the
// display) may have a thread stuck on that display, or be ending on it: the
// thread is then left behind, as the process is about to end anyway.
void StopAtExit() {
  if (!renderThreadRunning) return;
  if (std::this_thread::get_id() != renderThread.get_id() &&
      WaitUntilRunFor(Queue<endRenderLoop>(), std::chrono::seconds(2)))
    renderThread.join();
  else
    renderThread.detach();
  renderThreadRunning = false;
}

}  // namespace

// --- The game's OpenGL calls ---------------------------------------------------
// Each has the name and signature of the OpenGL 1.1 call it stands for, so the
// game's drawing code calls these; the real entry points come from SDL's
// OpenGL library when the thread starts. A call the game makes that is missing
// here would go straight to the library, on a thread without a context, and
// draw nothing: the platform test that lists the game's undefined symbols
// catches that.

namespace {

#define QUARN_REAL(name) decltype(&::name) real_##name = nullptr;
#define QUARN_GL_CALLS(X)                                                                                  \
  X(glBegin) X(glEnd) X(glVertex2i) X(glVertex2f) X(glTexCoord2f) X(glColor3f) X(glColor3fv) X(glLoadIdentity) \
  X(glEnable) X(glDisable) X(glMatrixMode) X(glCallList) X(glCallLists) X(glTexParameteri) X(glPushMatrix)    \
  X(glPopMatrix) X(glPixelStorei) X(glGenLists) X(glClear) X(glTranslatef) X(glTranslated) X(glTexImage2D)    \
  X(glOrtho) X(glNewList) X(glEndList) X(glViewport) X(glScalef) X(glPushAttrib) X(glPopAttrib) X(glListBase) \
  X(glGetIntegerv) X(glDeleteLists) X(glClearColor) X(glBlendFunc)
QUARN_GL_CALLS(QUARN_REAL)
#undef QUARN_REAL

bool LoadRealCalls() {
  bool complete = true;
#define QUARN_LOAD(name)                                                            \
  real_##name = reinterpret_cast<decltype(real_##name)>(SDL_GL_GetProcAddress(#name)); \
  if (!real_##name) complete = false;
  QUARN_GL_CALLS(QUARN_LOAD)
#undef QUARN_LOAD
  return complete;
}

GLuint generatedLists = 0;
void GenListsOnRenderThread(GLsizei range) { generatedLists = real_glGenLists(range); }
void (*genLists)(GLsizei) = GenListsOnRenderThread;

size_t ListNameBytes(GLenum type) {
  switch (type) {
    case GL_BYTE: case GL_UNSIGNED_BYTE: return 1;
    case GL_SHORT: case GL_UNSIGNED_SHORT: case GL_2_BYTES: return 2;
    case GL_3_BYTES: return 3;
    case GL_INT: case GL_UNSIGNED_INT: case GL_FLOAT: case GL_4_BYTES: return 4;
    default: return 0;  // an error the library reports without reading the names
  }
}

}  // namespace

extern "C" {

void glBegin(GLenum mode) { Queue<real_glBegin>(mode); }
void glEnd() { Queue<real_glEnd>(); }
void glVertex2i(GLint x, GLint y) { Queue<real_glVertex2i>(x, y); }
void glVertex2f(GLfloat x, GLfloat y) { Queue<real_glVertex2f>(x, y); }
void glTexCoord2f(GLfloat s, GLfloat t) { Queue<real_glTexCoord2f>(s, t); }
void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { Queue<real_glColor3f>(red, green, blue); }
void glColor3fv(const GLfloat* v) {
  if (v) QueueWithArray<real_glColor3fv>(v, 3 * sizeof(GLfloat));
  else QueueAndWait<real_glColor3fv>(v);  // what the library makes of it, as it is
}
void glLoadIdentity() { Queue<real_glLoadIdentity>(); }
void glEnable(GLenum cap) { Queue<real_glEnable>(cap); }
void glDisable(GLenum cap) { Queue<real_glDisable>(cap); }
void glMatrixMode(GLenum mode) { Queue<real_glMatrixMode>(mode); }
void glCallList(GLuint list) { Queue<real_glCallList>(list); }
void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
  const size_t size = n > 0 && lists ? size_t(n) * ListNameBytes(type) : 0;
  if (size > 0 && size <= LargestCopy) QueueWithArray<real_glCallLists>(lists, size, n, type);
  else QueueAndWait<real_glCallLists>(n, type, lists);
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) { Queue<real_glTexParameteri>(target, pname, param); }
void glPushMatrix() { Queue<real_glPushMatrix>(); }
void glPopMatrix() { Queue<real_glPopMatrix>(); }
void glPixelStorei(GLenum pname, GLint param) { Queue<real_glPixelStorei>(pname, param); }
GLuint glGenLists(GLsizei range) {
  generatedLists = 0;
  QueueAndWait<genLists>(range);
  return generatedLists;
}
void glClear(GLbitfield mask) { Queue<real_glClear>(mask); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Queue<real_glTranslatef>(x, y, z); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { Queue<real_glTranslated>(x, y, z); }
// Only the game's setup uploads images (into display lists), so it waits rather
// than copying them.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const GLvoid* pixels) {
  QueueAndWait<real_glTexImage2D>(target, level, internalFormat, width, height, border, format, type, pixels);
}
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) {
  Queue<real_glOrtho>(left, right, bottom, top, zNear, zFar);
}
void glNewList(GLuint list, GLenum mode) { Queue<real_glNewList>(list, mode); }
void glEndList() { Queue<real_glEndList>(); }
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { Queue<real_glViewport>(x, y, width, height); }
void glScalef(GLfloat x, GLfloat y, GLfloat z) { Queue<real_glScalef>(x, y, z); }
void glPushAttrib(GLbitfield mask) { Queue<real_glPushAttrib>(mask); }
void glPopAttrib() { Queue<real_glPopAttrib>(); }
void glListBase(GLuint base) { Queue<real_glListBase>(base); }
void glGetIntegerv(GLenum pname, GLint* params) { QueueAndWait<real_glGetIntegerv>(pname, params); }
void glDeleteLists(GLuint list, GLsizei range) { Queue<real_glDeleteLists>(list, range); }
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  Queue<real_glClearColor>(red, green, blue, alpha);
}
void glBlendFunc(GLenum sfactor, GLenum dfactor) { Queue<real_glBlendFunc>(sfactor, dfactor); }

}  // extern "C"

// --- The thread ----------------------------------------------------------------

bool StartRenderThread(SDL_Window* window) {
  if (renderThreadRunning) StopRenderThread();
  if (!LoadRealCalls()) {
    SDL_SetError("the OpenGL library lacks a call the game makes");
    return false;
  }
  renderWindow = window;
  contextCurrent = false;
  ranSeen = ran.load();
  lastPresentation = head;
  try {
    renderThread = std::thread(RenderLoop);
  } catch (const std::system_error& error) {
    SDL_SetError("cannot start the render thread: %s", error.what());
    return false;
  }
  renderThreadRunning = true;
  // A program that ends inside the game (a fatal image error) lets the thread
  // finish the calls it has before anything is torn down.
  if (!atExitSet) atExitSet = std::atexit(StopAtExit) == 0;
  return true;
}

void StopRenderThread() {
  if (!renderThreadRunning) return;
  QueueAndWait<endRenderLoop>();
  renderThread.join();
  renderThreadRunning = false;
  contextCurrent = false;
  renderWindow = nullptr;
}

void* CreateRenderContext() {
  if (!renderThreadRunning) return nullptr;
  createdContext = nullptr;
  QueueAndWait<createContext>();
  if (!createdContext) SDL_SetError("%s", renderError);
  return createdContext;
}

bool MakeRenderContextCurrent(void* context) {
  if (!renderThreadRunning) return false;
  QueueAndWait<makeCurrent>(context);
  if (contextCallStatus != 0) SDL_SetError("%s", renderError);
  return contextCallStatus == 0;
}

bool ReleaseRenderContext() { return MakeRenderContextCurrent(nullptr); }

void DeleteRenderContext(void* context) { QueueAndWait<deleteContext>(context); }

bool RenderContextCurrent() { return renderThreadRunning && contextCurrent; }

void PresentOnRenderThread() {
  if (!renderThreadRunning) return;
  const uint64_t before = lastPresentation;
  lastPresentation = Queue<present>();
  Publish();
  WaitUntilRun(before);
}
