// The browser's events: DOM events become the platform core's events, which
// make the messages the loop drains one per pass; message boxes are the page's
// modal dialog; the page runs one turn of the loop per display frame.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/PlatformEvents.h"
#include "platform/VirtualKeys.h"
#include "platform/web/KeyCodes.h"
#include "platform/web/WebWindow.h"

int32_t openMessageBoxes = 0;

namespace {

bool (*loopTurn)() = nullptr;

// The page's on-screen keys for touch screens, by the keyboard key each stands for.
struct ControlKey {
  uint32_t virtualKey;
  uint16_t usage;
};
const ControlKey controlKeys[] = {
    {VK_LEFT, UsageLeft}, {VK_UP, UsageUp}, {VK_RIGHT, UsageRight},
    {VK_DOWN, UsageDown}, {VK_ESCAPE, UsageEscape}, {VK_F1, UsageF1},
};

void PostKey(uint16_t usage, char character, bool down, bool repeat, bool altHeld) {
  PlatformEvent key = {};
  key.kind = down ? KeyPressed : KeyReleased;
  key.usage = usage;
  key.character = character;
  key.repeat = repeat;
  key.altHeld = altHeld;
  key.finger = Mouse;
  PostPlatformEvent(key);
}

void PostSimple(PlatformEventKind kind, int32_t x = 0, int32_t y = 0) {
  PlatformEvent event = {};
  event.kind = kind;
  event.finger = Mouse;
  event.x = x;
  event.y = y;
  PostPlatformEvent(event);
}

// The page is the active application while it is visible and has the focus,
// and has its context. When it is not, the releases of what is held now would
// go elsewhere: everything is released here.
void PostActivation(bool visible, bool focused) {
  const bool activeNow = visible && focused;
  if (!activeNow) ReleaseHeldInput();
  PostSimple(activeNow && !WindowContextLost() ? FocusGained : FocusLost);
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const uint16_t usage = UsageOfCode(event->code);
  const char character = CharacterOfKey(event->key);
  const uint32_t vk = VirtualKeyOf(usage, character);
  if (vk == 0) return EM_FALSE;
  // A box has the keyboard while it is up; its own keys are its business.
  if (openMessageBoxes > 0) return EM_FALSE;
  PostKey(usage, character, eventType == EMSCRIPTEN_EVENT_KEYDOWN, event->repeat, event->altKey);
  return GameUsesKey(vk) ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
  const bool visible = EM_ASM_INT({ return document.visibilityState === 'visible' ? 1 : 0; });
  PostActivation(visible, eventType == EMSCRIPTEN_EVENT_FOCUS);
  return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  // Focused, or pressed on where nothing gives the page the focus (the shell).
  PostActivation(!event->hidden, EM_ASM_INT({ return quarnPage.active() ? 1 : 0; }));
  return EM_FALSE;
}

EM_BOOL OnFullScreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
  NoteFullScreenChange(event->isFullscreen);
  return EM_FALSE;
}

// The page changed size: the view is scaled anew, and the window procedure
// hears the client size, which stays the view's 800 x 600 whatever size the
// page shows it at.
EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
  UpdateCanvasScale();
  if (canvasSelector[0] != '\0') PostSimple(Resized, viewWidth, viewHeight);
  return EM_FALSE;
}

// CSS pixels of the canvas into view pixels.
void ViewPosition(long targetX, long targetY, PlatformEvent& event) {
  double cssWidth = 0, cssHeight = 0;
  emscripten_get_element_css_size(canvasSelector, &cssWidth, &cssHeight);
  const double vx = double(targetX) * (cssWidth > 0 ? viewWidth / cssWidth : 1.0);
  const double vy = double(targetY) * (cssHeight > 0 ? viewHeight / cssHeight : 1.0);
  event.x = vx <= 0 ? 0 : int32_t(vx);
  event.y = vy <= 0 ? 0 : int32_t(vy);
}

EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
  PlatformEvent pointer = {};
  pointer.finger = Mouse;
  ViewPosition(event->targetX, event->targetY, pointer);
  switch (eventType) {
    case EMSCRIPTEN_EVENT_MOUSEMOVE:
      pointer.kind = PointerMoved;
      pointer.buttonHeld = (event->buttons & 1) != 0;
      PostPlatformEvent(pointer);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSEDOWN:
    case EMSCRIPTEN_EVENT_MOUSEUP:
      if (event->button != 0) return EM_FALSE;
      pointer.kind = eventType == EMSCRIPTEN_EVENT_MOUSEDOWN ? ButtonPressed : ButtonReleased;
      PostPlatformEvent(pointer);
      // No text selection or drag of the canvas.
      return eventType == EMSCRIPTEN_EVENT_MOUSEDOWN ? EM_TRUE : EM_FALSE;
    default:
      return EM_FALSE;
  }
}

// Fingers on the canvas: the core makes one of them the left button. Handled
// here, a touch neither scrolls nor zooms the page, and the browser makes up
// no mouse events after it.
EM_BOOL OnTouch(int eventType, const EmscriptenTouchEvent* event, void*) {
  for (int i = 0; i < event->numTouches; ++i) {
    const EmscriptenTouchPoint& touch = event->touches[i];
    if (!touch.isChanged) continue;
    PlatformEvent finger = {};
    finger.finger = int32_t(touch.identifier);
    ViewPosition(touch.targetX, touch.targetY, finger);
    finger.kind = eventType == EMSCRIPTEN_EVENT_TOUCHSTART  ? ButtonPressed
                  : eventType == EMSCRIPTEN_EVENT_TOUCHMOVE ? PointerMoved
                                                            : ButtonReleased;
    finger.buttonHeld = true;
    PostPlatformEvent(finger);
  }
  return EM_TRUE;
}

void Turn() {
  if (openMessageBoxes > 0) return;
  if (!loopTurn()) {
    emscripten_cancel_main_loop();
    std::exit(0);
  }
}

}  // namespace

// The page's OK button.
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_message_box_dismissed() {
  if (openMessageBoxes > 0) --openMessageBoxes;
}

// The page's on-screen keys (touch screens): the keyboard's key they stand for.
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_control_key(int virtualKey, int down) {
  for (const ControlKey& control : controlKeys)
    if (control.virtualKey == uint32_t(virtualKey)) PostKey(control.usage, 0, down != 0, false, false);
}

void WatchCanvasEvents(const char* selector) {
  emscripten_set_mousemove_callback(selector, nullptr, EM_FALSE, OnMouse);
  emscripten_set_mousedown_callback(selector, nullptr, EM_FALSE, OnMouse);
  emscripten_set_mouseup_callback(selector, nullptr, EM_FALSE, OnMouse);
  emscripten_set_touchstart_callback(selector, nullptr, EM_FALSE, OnTouch);
  emscripten_set_touchmove_callback(selector, nullptr, EM_FALSE, OnTouch);
  emscripten_set_touchend_callback(selector, nullptr, EM_FALSE, OnTouch);
  emscripten_set_touchcancel_callback(selector, nullptr, EM_FALSE, OnTouch);
}

void StartPlatform() {
  // Every floating-point exception masked, rounding to nearest (WebAssembly
  // has nothing else): a division by zero gives an infinity.
  std::fesetenv(FE_DFL_ENV);
  messageBoxHook = ShowSystemMessageBox;
  // Keys and activation belong to the page; the pointer to the canvas of the
  // moment (each open).
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnFocus);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnFocus);
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
  emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, OnFullScreenChange);
  emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnResize);
}

const char* SeedSettingText() {
  static char text[64];
  const int found = EM_ASM_INT(
      {
        var seed = new URLSearchParams(location.search).get('seed');
        if (seed === null) return 0;
        stringToUTF8(seed, $0, $1);
        return 1;
      },
      text, int(sizeof text));
  return found ? text : nullptr;
}

void RunTurnsEachDisplayFrame(bool (*turn)()) {
  loopTurn = turn;
  emscripten_set_main_loop(Turn, 0, 1);
}

// Every event came through a callback and is queued already.
bool PumpNativeEvent() { return false; }

// The page runs one turn per display frame and sleeps in between: a turn ends
// with this pass anyway.
void WaitForWindowMessage(uint32_t, uint32_t) {}

void ShowSystemMessageBox(const char* text, const char* caption, uint32_t) {
  ++openMessageBoxes;
  EM_ASM({ quarnPage.showMessageBox(UTF8ToString($0), UTF8ToString($1)); }, caption, text);
}
