// The render window on SDL2. The steps keep the order, the messages and the
// teardown of a Win32 window with a WGL context:
//   window class       -> SDL's video subsystem (started per open, quit per close)
//   display-mode change -> an exact 800 x 600 x 32 mode of the display, switched
//                          to when the full-screen window is shown
//   device context     -> the SDL window id (gameWindowId)
//   pixel format       -> GL attributes (SDL picks the window's visual from them
//                          when it creates the window, so they are given first)
//   WGL context        -> SDL_GL_CreateContext / SDL_GL_MakeCurrent, on the render
//                          thread that runs the game's OpenGL calls (RenderThread.h):
//                          an OpenGL ES 3 context for the GL 1.1 layer where one
//                          can be had, else the system's OpenGL (RenderGl.h)
#include "platform/sdl/SdlWindow.h"

#include <SDL.h>

#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Messages.h"
#include "platform/OpenGL.h"
#include "platform/WindowProc.h"
#include "platform/sdl/RenderThread.h"
#include "platform/sdl/WaylandDisplay.h"
#include "platform/sdl/X11Display.h"
#include "platform/sdl/X11Input.h"

SDL_Window* gameWindow = nullptr;
uint32_t gameWindowId = 0;
void* glContext = nullptr;
bool videoStarted = false;

namespace {

constexpr uint32_t ErrorStyle = MB_OK | MB_ICONERROR;

void ShowError(const char* text) { ShowMessageBox(text, "Error", ErrorStyle); }

bool FailOpen(const char* text, bool fullScreen) {
  std::fprintf(stderr, "quarn: %s (%s)\n", text, SDL_GetError());
  return FailRenderWindowOpen(text, fullScreen);
}

// A process that ends inside the game (a fatal image error) must not leave the
// display in the game's mode; Win32 restores it at process end by itself.
void RestoreDisplayModeAtExit() {
  if (videoStarted && gameWindow && (SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_FULLSCREEN)) {
    SDL_SetWindowFullscreen(gameWindow, 0);
    ReleaseDisplayGuard();
  }
}

// SDL's offscreen and dummy drivers draw nowhere and never give the window the
// focus: without a display the game would spin forever showing nothing.
bool DriverHasDisplay(const char* driver) {
  return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

// Whether an open of this run was refused an ES 3 context; the next ones go
// straight to the system's OpenGL.
bool layerRefused = false;
// What stderr last said draws (-1: nothing yet).
int announcedGl = -1;

// The context's kind goes with the format: SDL also picks the OpenGL library
// it loads (GLX or EGL) when it creates the window.
bool RequestPixelFormat(int32_t bits, RenderGl gl) {
  SDL_GL_ResetAttributes();  // also a compatibility context of version 2.1: the fixed-function pipeline
  int failures = 0;
  failures += SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) != 0;
  failures += SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8) != 0;
  failures += SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8) != 0;
  failures += SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8) != 0;
  failures += SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, bits) != 0;
  failures += SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16) != 0;
  if (gl == RenderGl::Layer) {
    failures += SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3) != 0;
    failures += SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0) != 0;
  }
  return failures == 0;
}

// What the window's steps 5 to 11 are given.
struct WindowRequest {
  int32_t width, height, bits;
  Uint32 flags;
  bool fullScreen, outputSized;
  SDL_DisplayMode mode;
};

// Steps 5 to 11 with `gl`: the window, with its context current on the render
// thread. Null when done; otherwise the failing step's message, and what was
// built stays for the close to undo.
const char* MakeWindowWithContext(const WindowRequest& request, RenderGl gl, bool& onWayland) {
  // 5. SDL sizes windows by their client area: nothing to adjust. The pixel
  // format is asked for here because SDL fixes it when it creates the window.
  // A display with no such format gets a plain window, so that the open fails
  // at the format (step 8) rather than at the window.
  Uint32 flags = request.flags;
  const bool formatFound = RequestPixelFormat(request.bits, gl) && GlxVisualAvailable(request.bits);
  if (formatFound) flags |= SDL_WINDOW_OPENGL;

  // 6. The window at the screen's top-left corner. Loading the GL driver may
  // touch the floating-point environment: keep ours. A window that cannot take
  // the format although one exists is a refused format (step 9) when a plain
  // window can be made; for the layer it is a refused ES context.
  std::fenv_t floatingPoint;
  std::fegetenv(&floatingPoint);
  gameWindow = SDL_CreateWindow("quarn", 0, 0, request.width, request.height, flags);
  bool formatRefused = false;
  if (!gameWindow && formatFound && gl == RenderGl::Desktop) {
    std::fprintf(stderr, "quarn: the window did not take the pixel format (%s)\n", SDL_GetError());
    gameWindow = SDL_CreateWindow("quarn", 0, 0, request.width, request.height, flags & ~Uint32(SDL_WINDOW_OPENGL));
    formatRefused = gameWindow != nullptr;
  }
  std::fesetenv(&floatingPoint);
  if (!gameWindow) return "Unable to create window!";
  if (request.fullScreen && !request.outputSized && SDL_SetWindowDisplayMode(gameWindow, &request.mode) != 0)
    return "Unable to create window!";

  // 7. The handle the window's events and drawing go by.
  gameWindowId = SDL_GetWindowID(gameWindow);
  if (gameWindowId == 0) return "Unable to get a device context!";
  onWayland = NoteWindowCompositor(gameWindow);

  // 8-9. The format found, and a window that took it.
  if (!formatFound) return "Unable to find a suitable pixel format";
  if (formatRefused || (SDL_GetWindowFlags(gameWindow) & SDL_WINDOW_OPENGL) == 0) return "Unable to set the pixel format";

  // 10-11. The context, current on the render thread, which from here on runs
  // the game's OpenGL calls. No vsync: the frame gate alone paces frames.
  if (!StartRenderThread(gameWindow, gl)) return "Unable to create an OpenGL rendering context";
  glContext = CreateRenderContext();
  if (!glContext) return "Unable to create an OpenGL rendering context";
  if (!MakeRenderContextCurrent(glContext)) return "Unable to activate OpenGL rendering context";
  return nullptr;
}

// Steps 3 to 6 of the close, quietly: what a refused try of the layer built
// goes before the open tries again.
void DiscardWindow() {
  resizeViewHook = nullptr;
  if (RenderContextCurrent()) ReleaseRenderContext();
  if (glContext) DeleteRenderContext(glContext);
  glContext = nullptr;
  StopRenderThread();
  gameWindowId = 0;
  ForgetWindowCompositor();
  if (gameWindow) SDL_DestroyWindow(gameWindow);
  gameWindow = nullptr;
}

// Steps 5 to 11, through the layer where this run can have it. A refusal
// tells only stderr, and the open goes on with the system's OpenGL.
const char* MakeWindowForGame(const WindowRequest& request, bool& onWayland) {
  static bool noted = false;
  const char* note = nullptr;
#ifdef QUARN_WINDOW_LAYER
  const bool layerBuilt = true;
#else
  const bool layerBuilt = false;
#endif
  RenderGl gl = ChooseRenderGl(std::getenv("QUARN_GL"), layerBuilt, layerRefused, &note);
  if (note && !noted) std::fprintf(stderr, "quarn: %s\n", note);
  noted = true;
  const char* failure = MakeWindowWithContext(request, gl, onWayland);
  if (failure && gl == RenderGl::Layer) {
    std::fprintf(stderr, "quarn: no OpenGL ES 3 context for the GL 1.1 layer (%s: %s)\n", failure, SDL_GetError());
    layerRefused = true;
    DiscardWindow();
    gl = RenderGl::Desktop;
    failure = MakeWindowWithContext(request, gl, onWayland);
  }
  if (failure) return failure;
  if (announcedGl != int(gl)) std::fprintf(stderr, "quarn: drawing with %s\n", RenderGlName(gl));
  announcedGl = int(gl);
  return nullptr;
}

// A Wayland compositor shows a window, and so may make it the active one,
// only once the window has a frame; and the game draws only while active.
void PresentClearedFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  PresentWindowFrame();
}

}  // namespace

bool OpenRenderWindow(int32_t width, int32_t height, bool fullScreen, int32_t bits) {
  // 1-2. The "class": SDL's video subsystem. The pointer is never captured, and
  // a full-screen window that loses the focus stays where it is.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "quarn: cannot open the window: %s\n", SDL_GetError());
    ShowError("Failed to register the window class!");
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!DriverHasDisplay(driver)) {
    std::fprintf(stderr, "quarn: cannot open the window: no display (SDL video driver \"%s\"; is DISPLAY set?)\n",
                 driver ? driver : "none");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    ShowError("Failed to register the window class!");
    return false;
  }
  videoStarted = true;
  EndWhenDisplayLost();
  WatchRawWindowEvents();
  static bool exitHookSet = false;
  if (!exitHookSet) exitHookSet = std::atexit(RestoreDisplayModeAtExit) == 0;
  SDL_StopTextInput();  // key messages only, no text input or input method

  // 3. Full screen needs the display to offer exactly width x height at `bits`.
  // SDL switches to it when the window is shown (step 12). Refused: say so and
  // go on windowed; the caller's flag stays as it is. A Wayland compositor
  // changes its mode for nobody: SDL offers the mode where it can have the
  // compositor scale the frames to the output, and where it cannot, full
  // screen is the output's own size, the scene drawn at its scale from the
  // top-left corner as in a larger window.
  SDL_DisplayMode mode = {};
  bool outputSized = false;
  if (fullScreen) {
    SDL_DisplayMode wanted = {};
    wanted.format = SDL_PIXELFORMAT_RGB888;
    wanted.w = width;
    wanted.h = height;
    bool offered = SDL_GetClosestDisplayMode(0, &wanted, &mode) != nullptr && mode.w == width &&
                   mode.h == height && int32_t(SDL_BYTESPERPIXEL(mode.format)) * 8 == bits;
    outputSized = !offered && std::strcmp(driver, "wayland") == 0;
    if (!offered && !outputSized) {
      ShowError("Unable to switch to fullscreen!");
      fullScreen = false;
    }
  }

  // 4. Style: a resizable window, or a borderless one covering the display.
  // Both are created hidden and shown at the end.
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if (!fullScreen) flags |= SDL_WINDOW_RESIZABLE;
  else flags |= outputSized ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;

  // 5-11. The window with its context.
  const WindowRequest request = {width, height, bits, flags, fullScreen, outputSized, mode};
  bool onWayland = false;
  if (const char* failure = MakeWindowForGame(request, onWayland)) return FailOpen(failure, fullScreen);
  resizeViewHook = ResizeView;

  // 12. Shown (and, in full screen, the display switched), raised, focused.
  // The guard notes the desktop's mode first, in case the game dies in ours.
  if (fullScreen) GuardDisplayMode();
  SDL_ShowWindow(gameWindow);
  if (onWayland) PresentClearedFrame();
  SDL_RaiseWindow(gameWindow);
  SDL_SetWindowInputFocus(gameWindow);
  // The application becomes the active one as its window comes to the front.
  // Without a window manager, SDL's own focus request can come too early (the
  // window not yet viewable) or its notice go astray, which would leave the
  // game inactive and the window black until something else focuses it.
  if (FocusWindow(gameWindow)) WindowProc(gameWindow, WM_ACTIVATEAPP, 1, 0);

  // 13. The view and what the game draws with follow on the game's side.
  return true;
}

void CloseRenderWindow(bool fullScreen) {
  // 1. What the game made in the context it has freed before the close.

  // 2. Back to the desktop's mode.
  if (fullScreen) {
    if (gameWindow) SDL_SetWindowFullscreen(gameWindow, 0);
    SDL_ShowCursor(SDL_ENABLE);
    ReleaseDisplayGuard();
  }

  // 3. No context current; size messages have no view to change from here on.
  resizeViewHook = nullptr;
  // With no context current (an open that failed before it made one) there is
  // nothing to release, and SDL would refuse a window without OpenGL.
  if (RenderContextCurrent() && !ReleaseRenderContext()) ShowError("Release of DC and RC failed!");

  // 4. The render thread ends with its context, once it has run every call.
  if (glContext) {
    DeleteRenderContext(glContext);
    glContext = nullptr;
  }
  StopRenderThread();

  // 5. The id has nothing to release; it must still name this window.
  if (gameWindowId != 0) {
    if (SDL_GetWindowFromID(gameWindowId) != gameWindow) ShowError("Release of device context failed!");
    gameWindowId = 0;
  }

  // 6. Handles are cleared after every release, so the close on a later failed
  // open never meets this window again.
  ForgetWindowCompositor();
  if (gameWindow) {
    if (SDL_GetWindowID(gameWindow) == 0) ShowError("Unable to destroy window!");
    else SDL_DestroyWindow(gameWindow);
    gameWindow = nullptr;
  }

  // 7. Quitting the video subsystem also drops every queued event of the window.
  if (videoStarted) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) ShowError("Unable to unregister window class!");
    else SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted = false;
  }
}

// A window's context lives as long as the window.
bool TakeRestoredContext() { return false; }

// The render thread draws and presents the frame while the loop goes on.
void PresentFrame() {
  if (gameWindow) PresentWindowFrame();
}

void SetWindowTitle(const char* title) {
  if (gameWindow) SDL_SetWindowTitle(gameWindow, title);
}
