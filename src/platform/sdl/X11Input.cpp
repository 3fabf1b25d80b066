#include "platform/sdl/X11Input.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/Keyboard.h"
#include "platform/sdl/SdlEvents.h"

namespace {

// The X event SDL translates next, as the server sent it. SDL sends it just in
// front of its own events for it, so the SDL event that follows belongs to it.
struct RawEvent {
  bool pending;  // the next SDL event comes from it
  int type;
  unsigned keycode;
};
RawEvent raw = {};

// The key each X keycode last went down as.
uint16_t usageOfKeycode[256];

// The event SDL will hand out next, if it already has one.
bool NextEventIs(Uint32 type) {
  SDL_Event next;
  return SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == type;
}

}  // namespace

void WatchRawWindowEvents() { SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE); }

bool PlatformEventFromRawX11(const SDL_SysWMmsg* msg, PlatformEvent& out) {
  if (!msg || msg->subsystem != SDL_SYSWM_X11) return false;
  const XEvent& x = msg->msg.x11.event;
  raw = {true, x.type, 0};
  out = PlatformEvent();
  out.finger = Mouse;
  switch (x.type) {
    case KeyPress:
      raw.keycode = x.xkey.keycode;
      return false;
    case KeyRelease: {
      raw.keycode = x.xkey.keycode;
      if (NextEventIs(SDL_KEYUP) || raw.keycode >= 256) return false;
      const uint16_t usage = usageOfKeycode[raw.keycode];
      // Still down for SDL: an auto-repeat, whose press follows at once.
      if (!KeyHeld(usage) || SDL_GetKeyboardState(nullptr)[usage]) return false;
      out.kind = KeyReleased;
      out.window = SDL_GetKeyboardFocus();
      out.usage = usage;
      return true;
    }
    case ButtonRelease: {
      if (x.xbutton.button != Button1 || NextEventIs(SDL_MOUSEBUTTONUP)) return false;
      // Heard only over the client area, as anywhere else.
      SDL_Window* window = SDL_GetMouseFocus();
      if (!window || !InsideClientArea(window, x.xbutton.x, x.xbutton.y)) return false;
      out.kind = ButtonReleased;
      out.window = window;
      out.x = x.xbutton.x;
      out.y = x.xbutton.y;
      return true;
    }
    default:
      return false;
  }
}

void ForgetRawX11Event() { raw.pending = false; }

bool RawX11EventIsLeave() { return raw.pending && raw.type == LeaveNotify; }

void NoteKeyPressUsage(uint16_t usage) {
  if (raw.pending && raw.type == KeyPress && raw.keycode < 256) usageOfKeycode[raw.keycode] = usage;
}
