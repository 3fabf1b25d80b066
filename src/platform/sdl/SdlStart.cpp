// The Linux build's start-up and message boxes.
#include <SDL.h>
#include <malloc.h>

#include <cfenv>
#include <cstdio>
#include <cstdlib>

#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/sdl/CloseSignals.h"
#include "platform/sdl/X11Display.h"

namespace {

// Every texture list a frame calls re-uploads its image, and Mesa's software
// renderer gives each upload that changes the texture's size new storage
// (about 1 MB a play frame). glibc would hand that memory back to the system
// as soon as it is freed and take it again at the next upload, each page
// faulted in anew; in a virtual machine that made up most of a play frame's
// time. Freed memory is kept for reuse instead: the game's use is steady.
void KeepFreedMemory() {
  constexpr int KeepBytes = 32 * 1024 * 1024;  // the most glibc takes for the mmap threshold
  mallopt(M_MMAP_THRESHOLD, KeepBytes);
  mallopt(M_TRIM_THRESHOLD, KeepBytes);
}

}  // namespace

void StartPlatform() {
  // Every floating-point exception masked, rounding to nearest: a division by
  // zero gives an infinity and the dig progress relies on it.
  std::fesetenv(FE_DFL_ENV);
  KeepFreedMemory();
  messageBoxHook = ShowSystemMessageBox;
  StartDisplayGuard();
  // A request that comes while a box is up waits for the box.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  CatchCloseSignals();
}

void ShowSystemMessageBox(const char* text, const char* caption, uint32_t style) {
  // SDL shows its box without the video subsystem. Without a display it may
  // still hand the box to zenity, which then fails with a warning of its own
  // while SDL reports the box as shown: the text would reach nobody.
  Uint32 flags = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : 0;
  if (AnyDisplayReachable() && SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) == 0) return;
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}
