// Waiting for a message between frames. Every message the game gets comes
// from the window system's connection (the X server's or the Wayland
// compositor's), from a close signal, or from the loop's own thread (a posted
// quit, which it sees before it waits). So a wait watches the connection and
// the signal's pipe, after making sure that nothing is queued already, in SDL
// or in the window system's library (Waiting.h).
#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>
#include <sched.h>

#include <chrono>
#include <ctime>

#include "platform/MessageQueue.h"
#include "platform/Waiting.h"
#include "platform/sdl/CloseSignals.h"
#include "platform/sdl/SdlEvents.h"
#include "platform/sdl/WaylandDisplay.h"

namespace {

// The X connection of the game's window, or null.
Display* WindowDisplay() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
  SDL_Window* window = SDL_GetKeyboardFocus();
  if (!window && LastEventWindowId() != 0) window = SDL_GetWindowFromID(LastEventWindowId());
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
  return info.info.x11.display;
}

// The window system's connection into the wait's inputs.
void WatchConnection(WaitInputs& in) {
  if (WaylandConnection(in.connection, in.connectionQueued)) return;
  Display* display = WindowDisplay();
  in.connection = display ? ConnectionNumber(display) : -1;
  in.connectionQueued = display && XPending(display) > 0;
}

}  // namespace

void WaitForWindowMessage(uint32_t fromTick, uint32_t wait) {
  WaitInputs in = {};
  in.now = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
               .count();
  in.fromTick = fromTick;
  in.wait = wait;
  WatchConnection(in);
  in.signalPipe = CloseSignalPipe();
  in.closeSignal = CloseSignalPending();
  in.quitPosted = quitPosted;
  in.eventsQueued = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
  const WaitPlan plan = PlanWait(in);
  if (plan.sleep <= 0) {
    // Nothing to wait for, or the frame is (nearly) due: the loop polls again
    // at once, but lets the render thread and the rasterizer's threads, which
    // draw meanwhile, have the processor first.
    sched_yield();
    return;
  }
  pollfd watched[2];
  for (int i = 0; i < plan.watchedCount; ++i) watched[i] = {plan.watched[i], POLLIN, 0};
  const timespec timeout = {time_t(plan.sleep / 1000000000), long(plan.sleep % 1000000000)};
  if (ppoll(watched, nfds_t(plan.watchedCount), &timeout, nullptr) > 0) DrainCloseSignalPipe();
}
