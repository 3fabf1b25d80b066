// The browser's message pump: DOM events become Win32-numbered messages in a
// queue of our own, which the loop drains one message per pass; message boxes
// are the page's modal dialog; the page runs one turn of the loop per display
// frame.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/InputState.h"
#include "platform/MessageQueue.h"
#include "platform/Messages.h"
#include "platform/web/KeyCodes.h"
#include "platform/web/WebWindow.h"

int32_t openMessageBoxes = 0;

namespace {

// Win32 coalesces pointer moves; a full queue drops what comes next, as a
// full Win32 queue does.
constexpr int32_t QueueSize = 1024;
WindowMessage queue[QueueSize];
int32_t queueHead = 0, queueCount = 0;

bool (*loopTurn)() = nullptr;

// The left button as the page has sent it: down from a press (or a finger on
// the canvas) until its release.
bool buttonHeld = false;
// The finger that is the left button while it touches the canvas, -1 for none.
long buttonTouch = -1;

// The page's on-screen keys for touch screens. Their releases wait until a
// frame has seen the press, so that a quick tap on Esc still acts.
struct ControlKey {
  uint32_t virtualKey;
  const char* code;       // the keyboard key it stands for
  uint32_t pressedFrame;  // inputFramesEnded when it went down
  bool releaseWaiting;
};
ControlKey controlKeys[] = {
    {37, "ArrowLeft", 0, false}, {38, "ArrowUp", 0, false}, {39, "ArrowRight", 0, false},
    {40, "ArrowDown", 0, false}, {27, "Escape", 0, false},  {112, "F1", 0, false},
};

void QueueKey(uint32_t virtualKey, bool down, bool repeat, bool system) {
  const uint32_t message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  // Win32 key lParam: repeat count 1, bit 30 "was already down", bit 31 "being released".
  uint32_t lParam = 1u;
  if (repeat || !down) lParam |= 1u << 30;
  if (!down) lParam |= 1u << 31;
  QueueWindowMessage(message, virtualKey, intptr_t(lParam));
}

// The page lost the focus or was hidden: the releases of what is held now
// would go elsewhere, so everything is released here.
void ReleaseEverything() {
  uint32_t held[HeldKeyCount];
  const int32_t count = TakeHeldKeys(held);
  for (int32_t i = 0; i < count; ++i) QueueKey(held[i], false, false, false);
  for (ControlKey& control : controlKeys) control.releaseWaiting = false;
  if (buttonHeld) QueueWindowMessage(WM_LBUTTONUP, 0, 0);
  buttonHeld = false;
  buttonTouch = -1;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  const uint32_t vk = KeyEventVirtualKey(event->code, event->key, down);
  if (vk == 0) return EM_FALSE;
  // A box has the keyboard while it is up; its own keys are its business.
  if (openMessageBoxes > 0) return EM_FALSE;
  // Alt itself, anything pressed with Alt held, and F10 are system keys on
  // Win32: the window procedure leaves them to the default handling.
  QueueKey(vk, down, event->repeat, event->altKey || vk == 18 || vk == 121);
  return GameUsesKey(vk) ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
  const bool visible = EM_ASM_INT({ return document.visibilityState === 'visible' ? 1 : 0; });
  const bool activeNow = eventType == EMSCRIPTEN_EVENT_FOCUS && visible;
  if (!activeNow) ReleaseEverything();
  // Without its context the game stays as an inactive window.
  QueueWindowMessage(WM_ACTIVATEAPP, activeNow && !WindowContextLost() ? 1 : 0, 0);
  return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  const bool focused = EM_ASM_INT({ return document.hasFocus() ? 1 : 0; });
  const bool activeNow = !event->hidden && focused;
  if (!activeNow) ReleaseEverything();
  QueueWindowMessage(WM_ACTIVATEAPP, activeNow && !WindowContextLost() ? 1 : 0, 0);
  return EM_FALSE;
}

EM_BOOL OnFullScreenChange(int, const EmscriptenFullscreenChangeEvent* event, void*) {
  NoteFullScreenChange(event->isFullscreen);
  return EM_FALSE;
}

// The page changed size: the view is scaled anew, and the window procedure
// hears the client size, which is the canvas's drawing buffer and stays the
// view's 800 x 600.
EM_BOOL OnResize(int, const EmscriptenUiEvent*, void*) {
  UpdateCanvasScale();
  int width = 0, height = 0;
  if (hDC[0] != '\0' && emscripten_get_canvas_element_size(hDC, &width, &height) == EMSCRIPTEN_RESULT_SUCCESS)
    QueueWindowMessage(WM_SIZE, 0, MakeLParam(uint32_t(width), uint32_t(height)));
  return EM_FALSE;
}

// CSS pixels of the canvas into view pixels: the canvas keeps its 800 x 600
// drawing buffer and is only scaled on the screen.
intptr_t ViewPosition(long targetX, long targetY) {
  double cssWidth = 0, cssHeight = 0;
  int width = 0, height = 0;
  emscripten_get_element_css_size(hDC, &cssWidth, &cssHeight);
  emscripten_get_canvas_element_size(hDC, &width, &height);
  const double sx = cssWidth > 0 ? width / cssWidth : 1.0;
  const double sy = cssHeight > 0 ? height / cssHeight : 1.0;
  const double vx = double(targetX) * sx, vy = double(targetY) * sy;
  return MakeLParam(vx <= 0 ? 0u : uint32_t(vx), vy <= 0 ? 0u : uint32_t(vy));
}

EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
  const intptr_t where = ViewPosition(event->targetX, event->targetY);
  switch (eventType) {
    case EMSCRIPTEN_EVENT_MOUSEMOVE:
      QueueWindowMessage(WM_MOUSEMOVE, (event->buttons & 1) ? MK_LBUTTON : 0, where);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSEDOWN:
      if (event->button != 0) return EM_FALSE;
      buttonHeld = true;
      QueueWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, where);
      return EM_TRUE;  // no text selection or drag of the canvas
    case EMSCRIPTEN_EVENT_MOUSEUP:
      if (event->button != 0) return EM_FALSE;
      buttonHeld = false;
      QueueWindowMessage(WM_LBUTTONUP, 0, where);
      return EM_FALSE;
    default:
      return EM_FALSE;
  }
}

// One finger on the canvas is the left button at that point: down, moves,
// up. Other fingers are not seen. Handled here, the touch neither scrolls nor
// zooms the page, and the browser makes up no mouse events after it.
EM_BOOL OnTouch(int eventType, const EmscriptenTouchEvent* event, void*) {
  for (int i = 0; i < event->numTouches; ++i) {
    const EmscriptenTouchPoint& touch = event->touches[i];
    if (!touch.isChanged) continue;
    const intptr_t where = ViewPosition(touch.targetX, touch.targetY);
    if (eventType == EMSCRIPTEN_EVENT_TOUCHSTART) {
      if (buttonTouch != -1) continue;
      buttonTouch = touch.identifier;
      buttonHeld = true;
      QueueWindowMessage(WM_MOUSEMOVE, 0, where);
      QueueWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, where);
    } else if (touch.identifier == buttonTouch) {
      if (eventType == EMSCRIPTEN_EVENT_TOUCHMOVE) {
        QueueWindowMessage(WM_MOUSEMOVE, MK_LBUTTON, where);
      } else {
        buttonTouch = -1;
        buttonHeld = false;
        QueueWindowMessage(WM_LBUTTONUP, 0, where);
      }
    }
  }
  return EM_TRUE;
}

void Turn() {
  if (openMessageBoxes > 0) return;
  if (!loopTurn()) {
    emscripten_cancel_main_loop();
    std::exit(0);
  }
  for (ControlKey& control : controlKeys) {
    if (!control.releaseWaiting || control.pressedFrame == inputFramesEnded) continue;
    control.releaseWaiting = false;
    QueueKey(KeyEventVirtualKey(control.code, control.code, false), false, false, false);
  }
}

}  // namespace

// The page's OK button.
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_message_box_dismissed() {
  if (openMessageBoxes > 0) --openMessageBoxes;
}

// The page's on-screen keys (touch screens): the keyboard's messages for the
// same key, the release held back until a frame has seen the press.
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_control_key(int virtualKey, int down) {
  for (ControlKey& control : controlKeys) {
    if (control.virtualKey != uint32_t(virtualKey)) continue;
    if (down) {
      control.pressedFrame = inputFramesEnded;
      control.releaseWaiting = false;
      QueueKey(KeyEventVirtualKey(control.code, control.code, true), true, false, false);
    } else if (control.pressedFrame == inputFramesEnded) {
      control.releaseWaiting = true;
    } else {
      QueueKey(KeyEventVirtualKey(control.code, control.code, false), false, false, false);
    }
    return;
  }
}

void QueueWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_MOUSEMOVE && queueCount > 0) {
    WindowMessage& last = queue[(queueHead + queueCount - 1) % QueueSize];
    if (last.message == WM_MOUSEMOVE) {
      last.wParam = wParam;
      last.lParam = lParam;
      return;
    }
  }
  if (queueCount == QueueSize) return;
  queue[(queueHead + queueCount) % QueueSize] = WindowMessage{nullptr, message, wParam, lParam};
  ++queueCount;
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

bool PeekWindowMessage(WindowMessage& message) {
  if (queueCount > 0) {
    message = queue[queueHead];
    queueHead = (queueHead + 1) % QueueSize;
    --queueCount;
    return true;
  }
  if (quitPosted) {
    quitPosted = false;
    message = WindowMessage{nullptr, WM_QUIT, uintptr_t(quitExitCode), 0};
    return true;
  }
  return false;
}

// The page runs one turn per display frame and sleeps in between: a turn ends
// with this pass anyway.
void WaitForWindowMessage(uint32_t, uint32_t) {}

intptr_t DispatchWindowMessage(const WindowMessage& message) {
  return WindowProc(message.window, message.message, message.wParam, message.lParam);
}

void ShowSystemMessageBox(const char* text, const char* caption, uint32_t) {
  ++openMessageBoxes;
  EM_ASM({ quarnPage.showMessageBox(UTF8ToString($0), UTF8ToString($1)); }, caption, text);
}
