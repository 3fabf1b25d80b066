#include "platform/sdl/MessagePump.h"

#include <SDL.h>

#include <cfenv>
#include <cstdio>

#include "platform/Messages.h"

namespace {

constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;

// Keys outside the letters and digits, by position on the keyboard.
uint32_t VirtualKeyFromScancode(int32_t scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + uint32_t(scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + uint32_t(scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 112 + uint32_t(scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return 124 + uint32_t(scancode - SDL_SCANCODE_F13);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) return 97 + uint32_t(scancode - SDL_SCANCODE_KP_1);
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_BACKSPACE: return 8;
    case SDL_SCANCODE_TAB: return 9;
    case SDL_SCANCODE_RETURN: return 13;
    case SDL_SCANCODE_KP_ENTER: return 13;
    case SDL_SCANCODE_LSHIFT: case SDL_SCANCODE_RSHIFT: return 16;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return 17;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return 18;
    case SDL_SCANCODE_PAUSE: return 19;
    case SDL_SCANCODE_CAPSLOCK: return 20;
    case SDL_SCANCODE_ESCAPE: return 27;
    case SDL_SCANCODE_SPACE: return 32;
    case SDL_SCANCODE_PAGEUP: return 33;
    case SDL_SCANCODE_PAGEDOWN: return 34;
    case SDL_SCANCODE_END: return 35;
    case SDL_SCANCODE_HOME: return 36;
    case SDL_SCANCODE_LEFT: return 37;
    case SDL_SCANCODE_UP: return 38;
    case SDL_SCANCODE_RIGHT: return 39;
    case SDL_SCANCODE_DOWN: return 40;
    case SDL_SCANCODE_PRINTSCREEN: return 44;
    case SDL_SCANCODE_INSERT: return 45;
    case SDL_SCANCODE_DELETE: return 46;
    case SDL_SCANCODE_LGUI: return 91;
    case SDL_SCANCODE_RGUI: return 92;
    case SDL_SCANCODE_APPLICATION: return 93;
    case SDL_SCANCODE_KP_0: return 96;
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_PLUS: return 107;
    case SDL_SCANCODE_KP_MINUS: return 109;
    case SDL_SCANCODE_KP_PERIOD: return 110;
    case SDL_SCANCODE_KP_DIVIDE: return 111;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 144;
    case SDL_SCANCODE_SCROLLLOCK: return 145;
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_NONUSHASH: return 220;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    case SDL_SCANCODE_NONUSBACKSLASH: return 226;
    default: return 0;
  }
}

bool TranslateKey(const SDL_KeyboardEvent& key, WindowMessage& message) {
  uint32_t vk = VirtualKeyFromSdl(key.keysym.sym, key.keysym.scancode);
  if (vk == 0) return false;
  // Alt itself, anything pressed with Alt held, and F10 are system keys on
  // Win32: the window procedure leaves them to the default handling.
  bool system = (key.keysym.mod & KMOD_ALT) != 0 || vk == 18 || vk == 121;
  bool down = key.type == SDL_KEYDOWN;
  message.message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  message.wParam = vk;
  // Win32 key lParam: repeat count 1, bit 30 "was already down", bit 31 "being released".
  uint32_t lParam = 1u;
  if (key.repeat || !down) lParam |= 1u << 30;
  if (!down) lParam |= 1u << 31;
  message.lParam = intptr_t(lParam);
  return true;
}

}  // namespace

uint32_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode) {
  // Letters and digits follow the keyboard layout, as Win32 virtual keys do;
  // a layout whose letter keys produce other characters falls back to the position.
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + uint32_t(keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + uint32_t(keycode - SDLK_0);
  return VirtualKeyFromScancode(scancode);
}

namespace {

bool TranslateWindowEvent(const SDL_WindowEvent& event, WindowMessage& message) {
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      // The game has one window, so its keyboard focus is the application's activation.
      message.message = WM_ACTIVATEAPP;
      message.wParam = event.event == SDL_WINDOWEVENT_FOCUS_GAINED ? 1 : 0;
      message.lParam = 0;
      return true;
    case SDL_WINDOWEVENT_CLOSE:
      message.message = WM_CLOSE;
      message.wParam = 0;
      message.lParam = 0;
      return true;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      message.message = WM_SIZE;
      message.wParam = SIZE_RESTORED;
      message.lParam = MakeLParam(uint32_t(event.data1), uint32_t(event.data2));
      return true;
    case SDL_WINDOWEVENT_MINIMIZED:
      // A minimised window has an empty client area on Win32.
      message.message = WM_SIZE;
      message.wParam = SIZE_MINIMIZED;
      message.lParam = 0;
      return true;
    case SDL_WINDOWEVENT_RESTORED: {
      SDL_Window* window = SDL_GetWindowFromID(event.windowID);
      if (!window) return false;
      int width = 0, height = 0;
      SDL_GetWindowSize(window, &width, &height);
      message.message = WM_SIZE;
      message.wParam = SIZE_RESTORED;
      message.lParam = MakeLParam(uint32_t(width), uint32_t(height));
      return true;
    }
    default:
      return false;
  }
}

bool InsideClientArea(SDL_Window* window, int32_t x, int32_t y) {
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  return x >= 0 && y >= 0 && x < width && y < height;
}

// One SDL event into one message; false for events the game has no message for.
bool TranslateEvent(const SDL_Event& event, WindowMessage& message) {
  message.window = nullptr;
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      message.window = SDL_GetWindowFromID(event.key.windowID);
      return TranslateKey(event.key, message);
    case SDL_MOUSEMOTION:
      message.window = SDL_GetWindowFromID(event.motion.windowID);
      message.message = WM_MOUSEMOVE;
      message.wParam = (event.motion.state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0;
      message.lParam = MakeLParam(uint32_t(event.motion.x), uint32_t(event.motion.y));
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (event.button.button != SDL_BUTTON_LEFT) return false;
      // X hands a press's release to the window wherever it happens; an
      // uncaptured Win32 window only hears buttons over its client area. SDL
      // gives a button outside every window of ours no window id.
      if (event.button.windowID == 0 && SDL_WasInit(SDL_INIT_VIDEO)) return false;
      message.window = SDL_GetWindowFromID(event.button.windowID);
      if (message.window && !InsideClientArea(static_cast<SDL_Window*>(message.window), event.button.x,
                                              event.button.y))
        return false;
      message.message = event.type == SDL_MOUSEBUTTONDOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      message.wParam = event.type == SDL_MOUSEBUTTONDOWN ? MK_LBUTTON : 0;
      message.lParam = MakeLParam(uint32_t(event.button.x), uint32_t(event.button.y));
      return true;
    case SDL_WINDOWEVENT:
      message.window = SDL_GetWindowFromID(event.window.windowID);
      return TranslateWindowEvent(event.window, message);
    case SDL_QUIT:
      // SDL's own quit request (the last window closed, or SIGINT/SIGTERM):
      // a close request like any other.
      message.message = WM_CLOSE;
      message.wParam = 0;
      message.lParam = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace

bool PeekWindowMessage(WindowMessage& message) {
  SDL_Event event;
  for (;;) {
    while (SDL_PollEvent(&event)) {
      if (TranslateEvent(event, message)) return true;
    }
    // SDL's poll sentinel makes a poll report an empty queue once per pump even
    // with events still queued behind it. The queue only counts as empty when
    // it is, or a frame would be drawn with input pending.
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0) break;
  }
  if (quitPosted) {
    quitPosted = false;
    message.window = nullptr;
    message.message = WM_QUIT;
    message.wParam = uintptr_t(quitExitCode);
    message.lParam = 0;
    return true;
  }
  return false;
}

void StartPlatform() {
  // Every floating-point exception masked, rounding to nearest: a division by
  // zero gives an infinity and the dig progress relies on it.
  std::fesetenv(FE_DFL_ENV);
  messageBoxHook = ShowSystemMessageBox;
}

intptr_t DispatchWindowMessage(const WindowMessage& message) {
  return WindowProc(message.window, message.message, message.wParam, message.lParam);
}

void ShowSystemMessageBox(const char* text, const char* caption, uint32_t style) {
  // SDL shows its box without the video subsystem, and fails at once when there
  // is no display to show it on.
  Uint32 flags = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : 0;
  if (SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) == 0) return;
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}
