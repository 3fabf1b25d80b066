#include "platform/sdl/RenderQueue.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>
#include <type_traits>

// --- The ring ----------------------------------------------------------------
// One ring of commands, written by the main thread and run by the render
// thread. A command is a header (what runs it, its size) and its arguments,
// each in an 8-byte slot, then any array it carries, padded to a whole number
// of headers. A command never wraps: one that does not fit before the end is
// preceded by a header without a runner, which skips to the start.

namespace {

using Runner = void (*)(const uint8_t* arguments);

struct CommandHeader {
  Runner run;      // null: skip to the start of the ring
  uint64_t bytes;  // the whole command, header included
};

constexpr size_t Slot = 8;
constexpr uint64_t NoMark = std::numeric_limits<uint64_t>::max();

alignas(64) uint8_t ringSpace[RenderRingBytes];
// A smaller ring is the end of that space, so it ends where the full one does.
uint8_t* ring = ringSpace;
uint64_t ringBytes = RenderRingBytes;
// Bytes ever queued (made visible to the render thread) and ever run; the
// first is written by the main thread only, the second by the render thread
// only, each on a cache line of its own.
alignas(64) std::atomic<uint64_t> queued{0};
alignas(64) std::atomic<uint64_t> ran{0};
// The main thread's side: where it writes, and the last `ran` it read. It makes
// its commands visible in batches, so that queuing a call costs a few stores.
alignas(64) uint64_t head = 0;
uint64_t ranSeen = 0;
// The mark the main thread sleeps until (NoMark: it does not sleep). The
// render thread wakes it when that mark is reached, not after every command.
alignas(64) std::atomic<uint64_t> awaited{NoMark};
std::atomic<bool> renderThreadSleeps{false};

// What the two threads sleep on, and the thread itself, are never destroyed. A
// process can end through exit() on the render thread (Xlib ends it so when the
// display goes away) while the main thread sleeps on these: destroying a
// condition variable waits for its sleepers, which would then wait forever.
struct Sleeping {
  std::mutex lock;
  std::condition_variable workArrived;  // render thread: the ring is no longer empty
  std::condition_variable workDone;     // main thread: the mark it waits for was reached
  std::thread thread;
};
Sleeping& sleeping = *new Sleeping;

bool running = false;       // the main thread's view
bool keepRunning = false;   // render thread only
const GlTable* target = nullptr;
uint64_t lastPresentation = 0;  // the mark of the last frame's presentation
bool atExitSet = false;

constexpr uint64_t RoundUp(uint64_t bytes, uint64_t unit) { return (bytes + unit - 1) / unit * unit; }
// Commands fill the ring in whole headers, so there is always room for the skip.
constexpr uint64_t CommandBytes(uint64_t bytes) { return RoundUp(bytes, sizeof(CommandHeader)); }
// Arrays bigger than this are not copied; the call waits instead.
uint64_t LargestCopy() { return ringBytes / 8; }
uint64_t BatchBytes() { return ringBytes / 64; }

// Makes everything written so far visible to the render thread.
void Publish() {
  if (queued.load(std::memory_order_relaxed) == head) return;
  queued.store(head);
  if (renderThreadSleeps.load()) {
    std::lock_guard<std::mutex> hold(sleeping.lock);
    sleeping.workArrived.notify_one();
  }
}

// Waits until the commands before `mark` have run.
void WaitUntilRun(uint64_t mark) {
  if (ranSeen >= mark) return;
  Publish();
  ranSeen = ran.load(std::memory_order_acquire);
  if (ranSeen >= mark) return;
  std::unique_lock<std::mutex> hold(sleeping.lock);
  awaited.store(mark);
  while ((ranSeen = ran.load()) < mark) sleeping.workDone.wait(hold);
  awaited.store(NoMark);
}

// The same, for at most `limit`; false when the time ran out first.
bool WaitUntilRunFor(uint64_t mark, std::chrono::milliseconds limit) {
  Publish();
  std::unique_lock<std::mutex> hold(sleeping.lock);
  awaited.store(mark);
  const bool reached = sleeping.workDone.wait_for(hold, limit, [mark] { return (ranSeen = ran.load()) >= mark; });
  awaited.store(NoMark);
  return reached;
}

// Waits until the ring has room for `bytes` more at the head.
void WaitForRoom(uint64_t bytes) {
  if (head + bytes > ringBytes) WaitUntilRun(head + bytes - ringBytes);
}

// Room for `bytes` at the head, skipping to the start of the ring if needed.
uint8_t* Reserve(uint64_t bytes) {
  const uint64_t toEnd = ringBytes - head % ringBytes;
  if (bytes > toEnd) {
    WaitForRoom(toEnd);
    CommandHeader skip = {nullptr, toEnd};
    std::memcpy(ring + head % ringBytes, &skip, sizeof skip);
    head += toEnd;
  }
  WaitForRoom(bytes);
  return ring + head % ringBytes;
}

// The command just written is queued; returns the mark reached once it has run.
uint64_t Commit(uint64_t bytes) {
  head += bytes;
  if (head - queued.load(std::memory_order_relaxed) >= BatchBytes()) Publish();
  return head;
}

void RenderLoop() {
  uint64_t position = ran.load();
  uint64_t available = position;
  keepRunning = true;
  while (keepRunning) {
    if (available == position) available = queued.load(std::memory_order_acquire);
    if (available == position) {
      std::unique_lock<std::mutex> hold(sleeping.lock);
      renderThreadSleeps.store(true);
      while ((available = queued.load()) == position) sleeping.workArrived.wait(hold);
      renderThreadSleeps.store(false);
      continue;
    }
    const uint8_t* command = ring + position % ringBytes;
    CommandHeader header;
    std::memcpy(&header, command, sizeof header);
    if (header.run) header.run(command + sizeof header);
    position += header.bytes;
    ran.store(position);
    if (position >= awaited.load()) {
      std::lock_guard<std::mutex> hold(sleeping.lock);
      awaited.store(NoMark);  // once: the commands after the mark do not wake it again
      sleeping.workDone.notify_one();
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

// Queues a command that `run` runs, with `size` bytes of `array` after its
// arguments; returns the mark reached once it has run, 0 when no thread runs
// (the call is dropped).
template <typename... Arguments>
uint64_t QueueCommand(Runner run, const void* array, uint64_t size, Arguments... arguments) {
  if (!running) return 0;
  const uint64_t bytes = CommandBytes(sizeof(CommandHeader) + Slot * sizeof...(Arguments) + size);
  uint8_t* at = Reserve(bytes);
  const CommandHeader header = {run, bytes};
  std::memcpy(at, &header, sizeof header);
  at += sizeof header;
  (PutArgument(at, arguments), ...);
  if (size > 0) std::memcpy(at, array, size);
  return Commit(bytes);
}

// One entry of the table: its call queued with its arguments, run against the
// target's entry. A call with a result or a pointer waits until it has run.
template <auto Entry>
struct QueuedCall;

template <typename Result, typename... Arguments, Result(QUARN_GLAPI* GlTable::*Entry)(Arguments...)>
struct QueuedCall<Entry> {
  using Kept = std::conditional_t<std::is_void_v<Result>, int, Result>;
  static inline Kept result{};

  static void Run([[maybe_unused]] const uint8_t* at) {
    std::tuple<Arguments...> arguments{TakeArgument<Arguments>(at)...};
    if constexpr (std::is_void_v<Result>)
      std::apply(target->*Entry, arguments);
    else
      result = std::apply(target->*Entry, arguments);
  }

  static Result QUARN_GLAPI Call(Arguments... arguments) {
    constexpr bool waits = !std::is_void_v<Result> || (std::is_pointer_v<Arguments> || ...);
    [[maybe_unused]] const uint64_t mark = QueueCommand(&Run, nullptr, 0, arguments...);
    if constexpr (waits)
      if (mark) WaitUntilRun(mark);
    if constexpr (!std::is_void_v<Result>) return mark ? Result(result) : Result();
  }
};

// The arrays the drawing code hands over are copied, so it goes on at once.
void RunColor3fv(const uint8_t* at) {
  GLfloat colour[3];
  std::memcpy(colour, at, sizeof colour);
  target->Color3fv(colour);
}

void QUARN_GLAPI QueuedColor3fv(const GLfloat* v) {
  if (v) QueueCommand(&RunColor3fv, v, 3 * sizeof(GLfloat));
  else QueuedCall<&GlTable::Color3fv>::Call(v);  // what the library makes of it, as it is
}

uint64_t ListNameBytes(GLenum type) {
  switch (type) {
    case GL_BYTE: case GL_UNSIGNED_BYTE: return 1;
    case GL_SHORT: case GL_UNSIGNED_SHORT: return 2;
    case GL_INT: case GL_UNSIGNED_INT: case GL_FLOAT: return 4;
    default: return 0;  // the library reports the type: let it see the call as made
  }
}

void RunCallLists(const uint8_t* at) {
  const GLsizei n = TakeArgument<GLsizei>(at);
  const GLenum type = TakeArgument<GLenum>(at);
  target->CallLists(n, type, at);
}

void QUARN_GLAPI QueuedCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
  const uint64_t size = n > 0 && lists ? uint64_t(n) * ListNameBytes(type) : 0;
  if (size > 0 && size <= LargestCopy()) QueueCommand(&RunCallLists, lists, size, n, type);
  else QueuedCall<&GlTable::CallLists>::Call(n, type, lists);
}

void RunWork(const uint8_t* at) { TakeArgument<void (*)()>(at)(); }

void EndRenderLoop() { keepRunning = false; }

// A program that ends inside the game (a fatal image error) lets the thread
// run the calls it has before anything is torn down. One that ends on the
// render thread, or whose thread is stuck (on a display that went away), leaves
// it behind, as the process is about to end anyway.
void StopAtExit() {
  if (!running) return;
  const bool onRenderThread = std::this_thread::get_id() == sleeping.thread.get_id();
  if (!onRenderThread &&
      WaitUntilRunFor(QueueCommand(&RunWork, nullptr, 0, &EndRenderLoop), std::chrono::seconds(2)))
    sleeping.thread.join();
  else
    sleeping.thread.detach();
  running = false;
}

}  // namespace

GlTable QueuedGlTable() {
  GlTable table;
#define QUARN_QUEUED_ENTRY(Result, Name, Parameters, Arguments) table.Name = &QueuedCall<&GlTable::Name>::Call;
  QUARN_GL_CALLS(QUARN_QUEUED_ENTRY)
#undef QUARN_QUEUED_ENTRY
  table.Color3fv = QueuedColor3fv;
  table.CallLists = QueuedCallLists;
  return table;
}

bool StartRenderQueue(const GlTable* calls, uint64_t bytes) {
  if (running) StopRenderQueue();
  if (bytes < 4096 || bytes > RenderRingBytes || bytes % sizeof(CommandHeader) != 0) return false;
  // The ring starts empty: positions count from 0 in a ring of this size.
  ringBytes = bytes;
  ring = ringSpace + (RenderRingBytes - bytes);
  head = 0;
  ranSeen = 0;
  lastPresentation = 0;
  queued.store(0);
  ran.store(0);
  target = calls;
  try {
    sleeping.thread = std::thread(RenderLoop);
  } catch (const std::system_error&) {
    return false;
  }
  running = true;
  if (!atExitSet) atExitSet = std::atexit(StopAtExit) == 0;
  return true;
}

void StopRenderQueue() {
  if (!running) return;
  RunOnRenderThread(EndRenderLoop);
  sleeping.thread.join();
  running = false;
}

bool RenderQueueRunning() { return running; }


void RunOnRenderThread(void (*work)()) {
  if (uint64_t mark = QueueCommand(&RunWork, nullptr, 0, work)) WaitUntilRun(mark);
}

void PresentOnRenderThread(void (*present)()) {
  if (!running) return;
  const uint64_t before = lastPresentation;
  lastPresentation = QueueCommand(&RunWork, nullptr, 0, present);
  Publish();
  WaitUntilRun(before);
}
