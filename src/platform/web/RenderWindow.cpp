// The render window in a browser page. The steps keep the order, the messages
// and the teardown of a Win32 window with a WGL context (see WebWindow.h for
// what stands for what). The canvas is made by each open and removed by each
// close, so every open starts with a fresh context, as a new window does.
#include "platform/web/WebWindow.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "gl11/GL11.h"
#include "platform/Messages.h"
#include "platform/PlatformEvents.h"
#include "platform/WindowProc.h"
#include "platform/web/PageFullScreen.h"

int32_t canvasNumber = 0;
int32_t webglContext = 0;
int32_t viewWidth = 0;
int32_t viewHeight = 0;
bool classRegistered = false;
char canvasSelector[48] = "";

namespace {

constexpr uint32_t ErrorStyle = MB_OK | MB_ICONERROR;

int32_t windowsMade = 0;

void ShowError(const char* text) { ShowMessageBox(text, "Error", ErrorStyle); }

bool FailOpen(const char* text, bool fullScreen) { return FailRenderWindowOpen(text, fullScreen); }

// A browser may take a page's WebGL context away (a GPU reset, a driver update,
// memory pressure) and give it back later, empty. Meanwhile the game draws
// nothing and takes no frames; once it is back, the layer starts again in it
// and the game makes what it draws with again, with the same world.
constexpr double LostContextPatienceMs = 5000;
const char kLostContextText[] = "The graphics were lost; reload the page to play again.";
bool contextLost = false;
bool contextRestored = false;
long lostContextTimer = 0;

void StopWaitingForTheContext() {
  if (lostContextTimer) emscripten_clear_timeout(lostContextTimer);
  lostContextTimer = 0;
}

void ContextStayedLost(void*) {
  lostContextTimer = 0;
  ShowError(kLostContextText);
}

// The game is as an active window only while it has its context.
void PostActivation(bool activeNow) {
  PlatformEvent activation = {};
  activation.kind = activeNow ? FocusGained : FocusLost;
  activation.finger = Mouse;
  PostPlatformEvent(activation);
}

// Shown, and focused or pressed on by the player (quarnPage.active in the shell).
bool PageActive() { return EM_ASM_INT({ return quarnPage.active() ? 1 : 0; }) != 0; }

EM_BOOL OnContextLost(int, const void*, void*) {
  contextLost = true;
  contextRestored = false;
  PostActivation(false);
  StopWaitingForTheContext();
  lostContextTimer = emscripten_set_timeout(ContextStayedLost, LostContextPatienceMs, nullptr);
  return EM_TRUE;  // the default would keep the browser from ever giving it back
}

// Makes the game's context current and starts the GL 1.1 the game draws with
// in it, into a frame of the view's size; why the layer could not start goes
// to stderr.
bool StartLayerInContext() {
  char layerError[200] = "";
  if (emscripten_webgl_make_context_current(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(webglContext)) == EMSCRIPTEN_RESULT_SUCCESS &&
      StartGl11InFrame(viewWidth, viewHeight, layerError, sizeof layerError))
    return true;
  if (layerError[0]) std::fprintf(stderr, "quarn: %s\n", layerError);
  return false;
}

EM_BOOL OnContextRestored(int, const void*, void*) {
  if (!contextLost || !webglContext) return EM_FALSE;
  StopWaitingForTheContext();
  // Everything the layer had in the old context is gone with it.
  StopGl11();
  if (!StartLayerInContext()) {
    ShowError(kLostContextText);
    return EM_FALSE;
  }
  contextLost = false;
  contextRestored = true;
  PostActivation(PageActive());
  return EM_FALSE;
}

// The page's game box, which holds the canvas: false when the page has none.
bool GameBoxPresent() { return EM_ASM_INT({ return document.getElementById('quarn') ? 1 : 0; }) != 0; }

// The browser cannot draw the game at all: the page says so under the end.
bool FailToDraw(const char* text, bool fullScreen) {
  EM_ASM({ quarnPage.cannotDraw = true; });
  return FailOpen(text, fullScreen);
}

// Asks the browser for full screen on the game box with its on-screen keys.
// False when it refuses at once (not allowed here, no API); a later refusal
// shows its box when it comes.
bool RequestFullScreen() {
  return EM_ASM_INT({
           var box = document.getElementById('quarn-stage') || document.getElementById('quarn');
           if (!document.fullscreenEnabled || !box.requestFullscreen) return 0;
           box.requestFullscreen({navigationUI: 'hide'}).catch(function() {
             Module._quarn_full_screen_refused();
           });
           return 1;
         }) != 0;
}

}  // namespace

// The browser refused full screen after the open had asked for it: the game
// stays in the page.
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_full_screen_refused() {
  NoteFullScreenGivenUp();
  ShowError("Unable to switch to fullscreen!");
}

// The page changed the canvas's drawing buffer to the view's new shown size,
// which cleared it: the last frame is shown again at once, at that size, not
// only with the next one (there may be none for a while: a box is up, the
// page is in the background).
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_view_resized() {
  if (RenderContextCurrent() && !contextLost) PresentFrame();
}

// The player pressed on the view of a page that the browser has not given the
// focus: as a click on an inactive window, the press makes the game the active one.
extern "C" EMSCRIPTEN_KEEPALIVE void quarn_view_pressed() {
  if (canvasNumber) PostActivation(PageActive() && !contextLost);
}

void NoteFullScreenChange(bool fullScreenNow) {
  NoteBrowserFullScreen(fullScreenNow);
  UpdateCanvasScale();
}

void UpdateCanvasScale() {
  EM_ASM({ quarnPage.fit(); });
}

bool OpenRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits) {
  (void)bits;  // WebGL's colour buffer is 8 bits a channel whatever is asked
  fullScreen = OpenInFullScreen(fullScreen);

  // 1-2. The "class": the page's game box.
  if (!GameBoxPresent()) {
    ShowError("Failed to register the window class!");
    return false;
  }
  classRegistered = true;

  // 3. Refused at once: say so and go on in the page.
  if (fullScreen) {
    if (RequestFullScreen()) {
      NoteFullScreenAsked();
    } else {
      ShowError("Unable to switch to fullscreen!");
      fullScreen = false;
    }
  }

  // 4-6. The canvas, hidden until step 12. Its drawing buffer is the view's
  // size until the page sizes it to the view's shown size (quarnPage.fit).
  canvasNumber = ++windowsMade;
  viewWidth = width;
  viewHeight = height;
  std::snprintf(canvasSelector, sizeof canvasSelector, "#quarn-canvas-%d", int(canvasNumber));
  const int made = EM_ASM_INT(
      {
        var canvas = document.createElement('canvas');
        canvas.id = 'quarn-canvas-' + $0;
        canvas.width = $1;
        canvas.height = $2;
        canvas.tabIndex = 0;
        canvas.style.visibility = 'hidden';
        canvas.oncontextmenu = function(e) { e.preventDefault(); };
        document.getElementById('quarn').appendChild(canvas);
        return 1;
      },
      int(canvasNumber), int(width), int(height));
  if (!made) {
    canvasNumber = 0;
    return FailOpen("Unable to create window!", fullScreen);
  }

  // The new window's size reaches the window procedure before any context
  // exists, so it changes no view; step 13 sets the view.
  WindowProc(nullptr, WM_SIZE, 0, MakeLParam(uint32_t(width), uint32_t(height)));

  // 7-9. The drawing handle, and a browser with WebGL 2 at all.
  if (canvasSelector[0] == '\0') return FailOpen("Unable to get a device context!", fullScreen);
  if (!EM_ASM_INT({ return typeof WebGL2RenderingContext !== 'undefined' ? 1 : 0; }))
    return FailToDraw("Unable to find a suitable pixel format", fullScreen);

  // 10-11. The context: double-buffered RGBA, and the layer's frame of the
  // view's size with a depth buffer, which is what the game draws into.
  webglContext = CreateGameContext(canvasSelector, false);
  if (webglContext <= 0) {
    webglContext = 0;
    return FailToDraw("Unable to create an OpenGL rendering context", fullScreen);
  }
  // The GL 1.1 the game draws with starts in the context as it becomes current.
  if (!StartLayerInContext()) return FailToDraw("Unable to activate OpenGL rendering context", fullScreen);
  resizeViewHook = ResizeView;
  contextLost = false;
  contextRestored = false;
  emscripten_set_webglcontextlost_callback(canvasSelector, nullptr, EM_FALSE, OnContextLost);
  emscripten_set_webglcontextrestored_callback(canvasSelector, nullptr, EM_FALSE, OnContextRestored);

  // 12. Shown and focused; the page's focus is the application's activation.
  WatchCanvasEvents(canvasSelector);
  EM_ASM(
      {
        var canvas = document.getElementById('quarn-canvas-' + $0);
        canvas.style.visibility = 'visible';
        canvas.focus({preventScroll: true});
        document.title = 'quarn';
      },
      int(canvasNumber));
  UpdateCanvasScale();
  WindowProc(nullptr, WM_ACTIVATEAPP, PageActive() ? 1 : 0, 0);

  // 13. The view and what the game draws with follow on the game's side.
  return true;
}

void CloseRenderWindow(bool fullScreen) {
  (void)fullScreen;  // the page leaves full screen whenever the game had it
  // 1. What the game made in the context it has freed before the close.

  // 2. Back to the page.
  if (pageFullScreen.entered || EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; })) {
    NoteFullScreenGivenUp();
    EM_ASM({
      if (document.fullscreenElement) document.exitFullscreen().catch(function() {});
    });
  }

  // 3. No context current.
  resizeViewHook = nullptr;
  StopWaitingForTheContext();
  contextLost = false;
  contextRestored = false;
  if (emscripten_webgl_get_current_context() != 0) {
    StopGl11();
    if (emscripten_webgl_make_context_current(0) != EMSCRIPTEN_RESULT_SUCCESS) ShowError("Release of DC and RC failed!");
  }

  // 4.
  if (webglContext) {
    if (emscripten_webgl_destroy_context(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(webglContext)) != EMSCRIPTEN_RESULT_SUCCESS)
      ShowError("Release of rendering context failed!");
    webglContext = 0;
  }

  // 5. The selector has nothing to release.
  canvasSelector[0] = '\0';

  // 6. The canvas goes, and with it its events.
  if (canvasNumber) {
    const int removed = EM_ASM_INT(
        {
          var canvas = document.getElementById('quarn-canvas-' + $0);
          if (!canvas) return 0;
          canvas.remove();
          return 1;
        },
        int(canvasNumber));
    if (!removed) ShowError("Unable to destroy window!");
    canvasNumber = 0;
  }

  // 7.
  classRegistered = false;
}

bool WindowContextLost() { return contextLost; }

bool TakeRestoredContext() {
  const bool restored = contextRestored;
  contextRestored = false;
  return restored;
}

bool RenderContextCurrent() {
  return webglContext && emscripten_webgl_get_current_context() == EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(webglContext);
}

void PresentFrame() {
  // The browser shows the drawing buffer when the turn hands control back:
  // the layer draws its frame into it, at the size the page shows it.
  int width = 0, height = 0;
  emscripten_webgl_get_drawing_buffer_size(EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(webglContext), &width, &height);
  ShowGl11Frame(width, height);
}

void SetWindowTitle(const char* title) {
  EM_ASM({ document.title = UTF8ToString($0); }, title);
}
