#include "platform/sdl/SdlEvents.h"

#include <SDL.h>

#include "platform/Keyboard.h"
#include "platform/sdl/CloseSignals.h"
#include "platform/sdl/WaylandDisplay.h"
#include "platform/sdl/X11Input.h"

namespace {

Uint32 eventWindowId = 0;

// SDL clamps every pointer position to the window: the crossing of a pointer
// that leaves, and the moves outside it while a button is held, come as
// positions on the window's edge. Only a real move over the client area may
// move the game's pointer.
bool RealMotion(const SDL_MouseMotionEvent& motion) {
  if (RawX11EventIsLeave()) return false;
  SDL_Window* window = SDL_GetWindowFromID(motion.windowID);
  if (!window) return true;
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  if (motion.x > 0 && motion.y > 0 && motion.x < width - 1 && motion.y < height - 1) return true;
  // On the edge: a real position only if the pointer is there.
  int pointerX = 0, pointerY = 0, windowX = 0, windowY = 0;
  SDL_GetGlobalMouseState(&pointerX, &pointerY);
  SDL_GetWindowPosition(window, &windowX, &windowY);
  return InsideClientArea(window, pointerX - windowX, pointerY - windowY);
}

bool KeyEvent(const SDL_KeyboardEvent& key, PlatformEvent& out) {
  const int32_t scancode = key.keysym.scancode;
  if (scancode <= 0 || scancode >= UsageCount) return false;  // SDL's scancodes are the keys' usages
  out.kind = key.type == SDL_KEYDOWN ? KeyPressed : KeyReleased;
  out.window = SDL_GetWindowFromID(key.windowID);
  out.usage = uint16_t(scancode);
  out.character = CharacterOfSdlKey(key.keysym.sym, scancode, key.keysym.mod);
  out.repeat = key.repeat != 0;
  out.altHeld = (key.keysym.mod & KMOD_ALT) != 0;
  if (out.kind == KeyPressed) NoteKeyPressUsage(out.usage);
  return true;
}

bool ButtonEvent(const SDL_MouseButtonEvent& button, PlatformEvent& out) {
  if (button.button != SDL_BUTTON_LEFT) return false;
  // X hands a press's release to the window wherever it happens; an
  // uncaptured Win32 window only hears buttons over its client area. SDL
  // gives a button outside every window of ours no window id.
  if (button.windowID == 0 && SDL_WasInit(SDL_INIT_VIDEO)) return false;
  SDL_Window* window = SDL_GetWindowFromID(button.windowID);
  if (window && !InsideClientArea(window, button.x, button.y)) return false;
  out.kind = button.type == SDL_MOUSEBUTTONDOWN ? ButtonPressed : ButtonReleased;
  out.window = window;
  out.finger = Mouse;
  out.x = button.x;
  out.y = button.y;
  return true;
}

bool WindowEvent(const SDL_WindowEvent& event, PlatformEvent& out) {
  SDL_Window* window = SDL_GetWindowFromID(event.windowID);
  out.window = window;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: out.kind = FocusGained; return true;
    case SDL_WINDOWEVENT_FOCUS_LOST: out.kind = FocusLost; return true;
    case SDL_WINDOWEVENT_CLOSE: out.kind = CloseRequested; return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      out.kind = Resized;
      out.x = event.data1;
      out.y = event.data2;
      return true;
    case SDL_WINDOWEVENT_MINIMIZED:
      // A minimised window has an empty client area on Win32.
      out.kind = Resized;
      return true;
    case SDL_WINDOWEVENT_RESTORED:
      if (!window) return false;
      out.kind = Resized;
      SDL_GetWindowSize(window, &out.x, &out.y);
      return true;
    default:
      return false;
  }
}

}  // namespace

char CharacterOfSdlKey(int32_t keycode, int32_t scancode, uint16_t mod) {
  if ((keycode >= SDLK_a && keycode <= SDLK_z) || (keycode >= SDLK_0 && keycode <= SDLK_9)) return char(keycode);
  const bool typesNumbers = (mod & KMOD_NUM) != 0 && (mod & KMOD_SHIFT) == 0;
  if (!typesNumbers) return 0;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return char('1' + (scancode - SDL_SCANCODE_KP_1));
  if (scancode == SDL_SCANCODE_KP_0) return '0';
  if (scancode == SDL_SCANCODE_KP_PERIOD) return '.';
  return 0;
}

bool PlatformEventFromSdl(const SDL_Event& event, PlatformEvent& out) {
  out = PlatformEvent();
  out.finger = Mouse;
  if (event.type == SDL_WINDOWEVENT && event.window.windowID != 0) eventWindowId = event.window.windowID;
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return KeyEvent(event.key, out);
    case SDL_MOUSEMOTION:
      if (!RealMotion(event.motion)) return false;
      out.kind = PointerMoved;
      out.window = SDL_GetWindowFromID(event.motion.windowID);
      out.x = event.motion.x;
      out.y = event.motion.y;
      out.buttonHeld = (event.motion.state & SDL_BUTTON_LMASK) != 0;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return ButtonEvent(event.button, out);
    case SDL_WINDOWEVENT:
      return WindowEvent(event.window, out);
    case SDL_QUIT:
      // SDL's own quit request: the last window closed, a close request like
      // any other; or the compositor's connection broke, which is not.
      EndIfCompositorLost();
      out.kind = CloseRequested;
      return true;
    default:
      return false;
  }
}

uint32_t LastEventWindowId() { return eventWindowId; }

bool InsideClientArea(SDL_Window* window, int32_t x, int32_t y) {
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  return x >= 0 && y >= 0 && x < width && y < height;
}

bool PumpNativeEvent() {
  if (TakeCloseSignal()) {
    PlatformEvent close = {};
    close.kind = CloseRequested;
    PostPlatformEvent(close);
    return true;
  }
  SDL_Event event;
  if (!SDL_PollEvent(&event)) {
    // SDL's poll sentinel makes a poll report an empty queue once per pump
    // even with events still queued behind it. The queue only counts as empty
    // when it is, or a frame would be drawn with input pending.
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
  }
  PlatformEvent made;
  if (event.type == SDL_SYSWMEVENT) {
    if (PlatformEventFromRawX11(event.syswm.msg, made)) PostPlatformEvent(made);
    return true;
  }
  const bool translated = PlatformEventFromSdl(event, made);
  ForgetRawX11Event();
  if (translated) PostPlatformEvent(made);
  return true;
}
