#include "platform/sdl/WaylandDisplay.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <wayland-client.h>

#include "platform/sdl/X11Display.h"

namespace {

// The connection SDL opened for the game's window; null off Wayland and while
// no window is open. Only the main thread uses it here.
wl_display* compositor = nullptr;

}  // namespace

bool NoteWindowCompositor(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  const bool onWayland = window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_WAYLAND;
  compositor = onWayland ? info.info.wl.display : nullptr;
  return onWayland;
}

void ForgetWindowCompositor() { compositor = nullptr; }

bool WaylandConnection(int& fd, bool& queued) {
  if (!compositor) return false;
  wl_display_flush(compositor);
  fd = wl_display_get_fd(compositor);
  // Only a reader with nothing left in the queue may prepare to read; one that
  // could hands the turn back at once: SDL reads the connection when it pumps.
  queued = wl_display_prepare_read(compositor) != 0;
  if (!queued) wl_display_cancel_read(compositor);
  return true;
}

void EndIfCompositorLost() {
  if (compositor && wl_display_get_error(compositor) != 0) EndForLostDisplay();
}
