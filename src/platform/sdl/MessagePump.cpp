#include "platform/sdl/MessagePump.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "platform/Messages.h"
#include "platform/sdl/X11Display.h"

namespace {

constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;

// Keys outside the letters and digits, by position on the keyboard.
uint32_t VirtualKeyFromScancode(int32_t scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + uint32_t(scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + uint32_t(scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 112 + uint32_t(scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return 124 + uint32_t(scancode - SDL_SCANCODE_F13);
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
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_PLUS: return 107;
    case SDL_SCANCODE_KP_MINUS: return 109;
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

// What the pump remembers of keys between events. A key is released as the
// virtual key it went down as, even if NumLock changed in between. The X
// keycode of each press (from the raw event in front of it) lets a release
// that SDL drops still reach the game; see TranslateRawEvent.
uint8_t vkOfScancode[SDL_NUM_SCANCODES];
uint8_t vkOfKeycode[256];
uint16_t scancodeOfKeycode[256];

// The X event SDL translates next, as the server sent it. SDL sends it just in
// front of its own events for it, so the SDL event that follows belongs to it.
struct RawEvent {
  bool pending;  // the next SDL event comes from it
  int type;
  unsigned keycode;
};
RawEvent raw = {};

// A hang-up, an interrupt or a terminate request: a close request like the
// close box's, so the game ends through its normal close (which also gives the
// desktop its display mode back). Only a flag is set here.
volatile std::sig_atomic_t closeSignal = 0;
// The handler also writes a byte here, so that a wait for messages ends too.
int wakePipe[2] = {-1, -1};
void RequestClose(int) {
  closeSignal = 1;
  const int saved = errno;
  const char byte = 1;
  if (wakePipe[1] >= 0 && write(wakePipe[1], &byte, 1) < 0) {
    // Full: a byte is already waiting, which is all a wait needs.
  }
  errno = saved;
}

// The SDL window of the last event that named one: the X connection it came
// on is what a wait for messages watches.
Uint32 eventWindowId = 0;

bool TranslateKey(const SDL_KeyboardEvent& key, WindowMessage& message) {
  const SDL_Scancode scancode = key.keysym.scancode;
  const bool down = key.type == SDL_KEYDOWN;
  uint32_t vk = VirtualKeyFromSdl(key.keysym.sym, scancode, key.keysym.mod);
  if (scancode >= 0 && scancode < SDL_NUM_SCANCODES) {
    if (down) {
      vkOfScancode[scancode] = uint8_t(vk);
      if (raw.pending && raw.type == KeyPress && raw.keycode < 256) {
        vkOfKeycode[raw.keycode] = uint8_t(vk);
        scancodeOfKeycode[raw.keycode] = uint16_t(scancode);
      }
    } else {
      if (vkOfScancode[scancode] != 0) vk = vkOfScancode[scancode];
      vkOfScancode[scancode] = 0;
    }
  }
  if (vk == 0) return false;
  // Alt itself, anything pressed with Alt held, and F10 are system keys on
  // Win32: the window procedure leaves them to the default handling.
  bool system = (key.keysym.mod & KMOD_ALT) != 0 || vk == 18 || vk == 121;
  message.message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  message.wParam = vk;
  // Win32 key lParam: repeat count 1, bit 30 "was already down", bit 31 "being released".
  uint32_t lParam = 1u;
  if (key.repeat || !down) lParam |= 1u << 30;
  if (!down) lParam |= 1u << 31;
  message.lParam = intptr_t(lParam);
  return true;
}

// The keypad's digits and point: the numbers with NumLock on, the keys printed
// under them with NumLock off (or with Shift held, which swaps them), as Win32
// numbers them.
uint32_t VirtualKeyOfKeypad(int32_t scancode, uint16_t mod) {
  static const uint8_t numbers[10] = {97, 98, 99, 100, 101, 102, 103, 104, 105, 96};  // KP_1..KP_9, KP_0
  static const uint8_t navigation[10] = {35, 40, 34, 37, 12, 39, 36, 38, 33, 45};     // End, Down, Next, ...
  const bool navigate = (mod & KMOD_NUM) == 0 || (mod & KMOD_SHIFT) != 0;
  if (scancode == SDL_SCANCODE_KP_PERIOD) return navigate ? 46 : 110;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_0) {
    int32_t i = scancode - SDL_SCANCODE_KP_1;
    return navigate ? navigation[i] : numbers[i];
  }
  return 0;
}

}  // namespace

uint32_t VirtualKeyFromSdl(int32_t keycode, int32_t scancode, uint16_t mod) {
  if (uint32_t keypad = VirtualKeyOfKeypad(scancode, mod)) return keypad;
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

// The event SDL will hand out next, if it already has one.
bool NextEventIs(Uint32 type) {
  SDL_Event next;
  return SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == type;
}

// SDL clamps every pointer position to the window: the crossing of a pointer
// that leaves, and the moves outside it while a button is held, come as
// positions on the window's edge. Only a real move over the client area may
// move the game's pointer.
bool RealMotion(const SDL_MouseMotionEvent& motion) {
  if (raw.pending && raw.type == LeaveNotify) return false;
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

// The raw X event in front of SDL's own. SDL forgets which keys and buttons are
// down when the window is reopened, and then drops their releases as releases
// of something that never went down; a release the game is owed is made here.
bool TranslateRawEvent(const SDL_SysWMmsg* msg, WindowMessage& message) {
  if (!msg || msg->subsystem != SDL_SYSWM_X11) return false;
  const XEvent& x = msg->msg.x11.event;
  raw = {true, x.type, 0};
  switch (x.type) {
    case KeyPress:
      raw.keycode = x.xkey.keycode;
      return false;
    case KeyRelease: {
      raw.keycode = x.xkey.keycode;
      if (NextEventIs(SDL_KEYUP) || raw.keycode >= 256) return false;
      const uint32_t vk = vkOfKeycode[raw.keycode];
      const uint16_t scancode = scancodeOfKeycode[raw.keycode];
      // Still down for SDL: an auto-repeat, whose press follows at once.
      if (vk == 0 || SDL_GetKeyboardState(nullptr)[scancode]) return false;
      vkOfScancode[scancode] = 0;
      message.window = SDL_GetKeyboardFocus();
      message.message = WM_KEYUP;
      message.wParam = vk;
      message.lParam = intptr_t(1u | 1u << 30 | 1u << 31);
      return true;
    }
    case ButtonRelease: {
      if (x.xbutton.button != Button1 || NextEventIs(SDL_MOUSEBUTTONUP)) return false;
      // Heard only over the client area, as anywhere else.
      SDL_Window* window = SDL_GetMouseFocus();
      if (!window || !InsideClientArea(window, x.xbutton.x, x.xbutton.y)) return false;
      message.window = window;
      message.message = WM_LBUTTONUP;
      message.wParam = 0;
      message.lParam = MakeLParam(uint32_t(x.xbutton.x), uint32_t(x.xbutton.y));
      return true;
    }
    default:
      return false;
  }
}

// One SDL event into one message; false for events the game has no message for.
bool TranslateEvent(const SDL_Event& event, WindowMessage& message) {
  message.window = nullptr;
  if (event.type == SDL_WINDOWEVENT && event.window.windowID != 0) eventWindowId = event.window.windowID;
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      message.window = SDL_GetWindowFromID(event.key.windowID);
      return TranslateKey(event.key, message);
    case SDL_MOUSEMOTION:
      if (!RealMotion(event.motion)) return false;
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
      // SDL's own quit request (the last window closed): a close request like any other.
      message.message = WM_CLOSE;
      message.wParam = 0;
      message.lParam = 0;
      return true;
    default:
      return false;
  }
}

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

// --- Waiting for a message ---------------------------------------------------
// Every message the game gets comes from the X server, from a close signal, or
// from the loop's own thread (a posted quit, which it sees before it waits). So
// a wait watches the X connection and the signal's pipe, after making sure that
// nothing is queued already, in SDL or in Xlib.

// How early a wait for the gate ends: the wake-up itself takes some time, and
// the loop polls through these last microseconds instead, so a frame never
// starts later than a loop that never slept would start it.
constexpr std::chrono::nanoseconds WakeEarly = std::chrono::microseconds(300);
// The longest one wait lasts. SDL holds some focus changes back for a while
// after a display-mode change and delivers them only when it is next asked,
// and an event another thread's Xlib call read off the connection is not seen
// on it: both come out at the next poll, at the latest this much later.
constexpr std::chrono::nanoseconds LongestWait = std::chrono::milliseconds(50);

Display* WindowDisplay() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
  SDL_Window* window = SDL_GetKeyboardFocus();
  if (!window && eventWindowId != 0) window = SDL_GetWindowFromID(eventWindowId);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
  return info.info.x11.display;
}

// Time from now until the tick reads `deadline` (the tick is the steady
// clock's milliseconds, as GetTickCount reads it), less WakeEarly; zero or
// less when that is already past.
std::chrono::nanoseconds TimeUntilTick(uint32_t deadline) {
  using std::chrono::milliseconds;
  const std::chrono::nanoseconds now = std::chrono::steady_clock::now().time_since_epoch();
  const uint32_t tick = uint32_t(uint64_t(std::chrono::duration_cast<milliseconds>(now).count()));
  const int32_t whole = int32_t(deadline - tick);
  if (whole <= 0) return std::chrono::nanoseconds(0);
  return milliseconds(whole) - now % milliseconds(1) - WakeEarly;
}

}  // namespace

void WaitForWindowMessage(uint32_t fromTick, uint32_t wait) {
  std::chrono::nanoseconds left = LongestWait;
  if (wait != WaitForMessageOnly) left = std::min(left, TimeUntilTick(fromTick + wait));
  Display* display = WindowDisplay();
  if (left.count() <= 0 || !display || closeSignal || quitPosted ||
      SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0 || XPending(display) > 0) {
    // Nothing to wait for, or the frame is (nearly) due: the loop polls again
    // at once, but lets the render thread and the rasterizer's threads, which
    // draw meanwhile, have the processor first.
    sched_yield();
    return;
  }
  pollfd watched[2] = {{ConnectionNumber(display), POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
  const timespec timeout = {time_t(left.count() / 1000000000), long(left.count() % 1000000000)};
  if (ppoll(watched, wakePipe[0] >= 0 ? 2 : 1, &timeout, nullptr) > 0 && (watched[1].revents & POLLIN)) {
    char bytes[16];
    while (read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
  }
}

bool PeekWindowMessage(WindowMessage& message) {
  if (closeSignal) {
    closeSignal = 0;
    message = {nullptr, WM_CLOSE, 0, 0};
    return true;
  }
  SDL_Event event;
  for (;;) {
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_SYSWMEVENT) {
        if (TranslateRawEvent(event.syswm.msg, message)) return true;
        continue;
      }
      bool translated = TranslateEvent(event, message);
      raw.pending = false;
      if (translated) return true;
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
  // Nothing waiting: the loop decides whether to wait (WaitForWindowMessage).
  return false;
}

void WatchRawWindowEvents() { SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE); }

void StartPlatform() {
  // Every floating-point exception masked, rounding to nearest: a division by
  // zero gives an infinity and the dig progress relies on it.
  std::fesetenv(FE_DFL_ENV);
  KeepFreedMemory();
  messageBoxHook = ShowSystemMessageBox;
  StartDisplayGuard();

  // Hang-up, interrupt and terminate become close requests, handled by us
  // rather than SDL: SDL's handlers go away whenever the window is closed.
  // A request that comes while a box is up waits for the box.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) wakePipe[0] = wakePipe[1] = -1;
  struct sigaction action = {};
  action.sa_handler = RequestClose;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGHUP, SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

const char* SeedSettingText() { return std::getenv("QUARN_SEED"); }

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
