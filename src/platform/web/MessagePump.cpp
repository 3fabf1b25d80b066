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

// Keys go up as the virtual key they went down as, whatever NumLock did meanwhile.
struct HeldKey {
  char code[32];
  uint32_t virtualKey;
};
HeldKey heldKeys[64];

bool (*loopTurn)() = nullptr;

uint32_t RememberPress(const char* code, uint32_t virtualKey) {
  HeldKey* free = nullptr;
  for (HeldKey& held : heldKeys) {
    if (std::strcmp(held.code, code) == 0) return held.virtualKey = virtualKey;
    if (!free && held.code[0] == '\0') free = &held;
  }
  if (free) {
    std::snprintf(free->code, sizeof free->code, "%s", code);
    free->virtualKey = virtualKey;
  }
  return virtualKey;
}

uint32_t ForgetPress(const char* code, uint32_t virtualKey) {
  for (HeldKey& held : heldKeys) {
    if (held.code[0] != '\0' && std::strcmp(held.code, code) == 0) {
      held.code[0] = '\0';
      return held.virtualKey;
    }
  }
  return virtualKey;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
  const bool down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
  uint32_t vk = VirtualKeyFromCode(event->code, event->key);
  if (vk == 0) return EM_FALSE;
  vk = down ? RememberPress(event->code, vk) : ForgetPress(event->code, vk);
  // A box has the keyboard while it is up; its own keys are its business.
  if (openMessageBoxes > 0) return EM_FALSE;
  // Alt itself, anything pressed with Alt held, and F10 are system keys on
  // Win32: the window procedure leaves them to the default handling.
  const bool system = event->altKey || vk == 18 || vk == 121;
  const uint32_t message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  uint32_t lParam = 1u;
  if (event->repeat || !down) lParam |= 1u << 30;
  if (!down) lParam |= 1u << 31;
  QueueWindowMessage(message, vk, intptr_t(lParam));
  return GameUsesKey(vk) ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
  const bool visible = EM_ASM_INT({ return document.visibilityState === 'visible' ? 1 : 0; });
  QueueWindowMessage(WM_ACTIVATEAPP, eventType == EMSCRIPTEN_EVENT_FOCUS && visible ? 1 : 0, 0);
  return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  const bool focused = EM_ASM_INT({ return document.hasFocus() ? 1 : 0; });
  QueueWindowMessage(WM_ACTIVATEAPP, !event->hidden && focused ? 1 : 0, 0);
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
void ViewPosition(const EmscriptenMouseEvent* event, uint32_t& x, uint32_t& y) {
  double cssWidth = 0, cssHeight = 0;
  int width = 0, height = 0;
  emscripten_get_element_css_size(hDC, &cssWidth, &cssHeight);
  emscripten_get_canvas_element_size(hDC, &width, &height);
  const double sx = cssWidth > 0 ? width / cssWidth : 1.0;
  const double sy = cssHeight > 0 ? height / cssHeight : 1.0;
  const double vx = double(event->targetX) * sx, vy = double(event->targetY) * sy;
  x = vx <= 0 ? 0u : uint32_t(vx);
  y = vy <= 0 ? 0u : uint32_t(vy);
}

EM_BOOL OnMouse(int eventType, const EmscriptenMouseEvent* event, void*) {
  uint32_t x = 0, y = 0;
  ViewPosition(event, x, y);
  const intptr_t where = MakeLParam(x, y);
  switch (eventType) {
    case EMSCRIPTEN_EVENT_MOUSEMOVE:
      QueueWindowMessage(WM_MOUSEMOVE, (event->buttons & 1) ? MK_LBUTTON : 0, where);
      return EM_FALSE;
    case EMSCRIPTEN_EVENT_MOUSEDOWN:
      if (event->button != 0) return EM_FALSE;
      QueueWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, where);
      return EM_TRUE;  // no text selection or drag of the canvas
    case EMSCRIPTEN_EVENT_MOUSEUP:
      if (event->button != 0) return EM_FALSE;
      QueueWindowMessage(WM_LBUTTONUP, 0, where);
      return EM_FALSE;
    default:
      return EM_FALSE;
  }
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
