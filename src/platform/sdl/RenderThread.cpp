#include "platform/sdl/RenderThread.h"

#include <SDL.h>

#include <cstdio>

#include "platform/RenderWindow.h"
#include "platform/sdl/RenderQueue.h"
#ifdef QUARN_WINDOW_LAYER
#include "gl11/GL11.h"
#endif

namespace {

// What the queue runs the game's calls on, which only the render thread calls:
// the system's OpenGL, or the GL 1.1 layer in the thread's ES context.
GlTable servedGl;
RenderGl renderGl = RenderGl::Desktop;
bool layerStarted = false;  // render thread only

SDL_Window* renderWindow = nullptr;
bool contextCurrent = false;  // written on the render thread while the main thread waits

// The arguments and outcome of the context call the main thread waits for.
void* contextArgument = nullptr;
void* createdContext = nullptr;
int contextCallStatus = 0;
char renderError[256];

void KeepRenderError() { std::snprintf(renderError, sizeof renderError, "%s", SDL_GetError()); }

void StopLayer() {
#ifdef QUARN_WINDOW_LAYER
  if (layerStarted) StopGl11();
#endif
  layerStarted = false;
}

// In the context just made current.
bool StartLayer() {
#ifdef QUARN_WINDOW_LAYER
  char error[200] = "";
  layerStarted = StartGl11Uninstalled(error, sizeof error);
  if (!layerStarted) std::snprintf(renderError, sizeof renderError, "the GL 1.1 layer does not start: %s", error);
  return layerStarted;
#else
  std::snprintf(renderError, sizeof renderError, "this build has no GL 1.1 layer");
  return false;
#endif
}

void CreateOnRenderThread() {
  createdContext = SDL_GL_CreateContext(renderWindow);
  // SDL makes a new context current: the game sees none until it asks.
  if (createdContext) SDL_GL_MakeCurrent(renderWindow, nullptr);
  else KeepRenderError();
}

void MakeCurrentOnRenderThread() {
  if (!contextArgument) StopLayer();
  contextCallStatus = SDL_GL_MakeCurrent(renderWindow, contextArgument);
  if (contextCallStatus != 0) {
    KeepRenderError();
    return;
  }
  contextCurrent = contextArgument != nullptr;
  if (!contextCurrent) return;
  // Some servers refuse this; they have no vsync anyway.
  SDL_GL_SetSwapInterval(0);
  if (renderGl == RenderGl::Layer && !StartLayer()) {
    SDL_GL_MakeCurrent(renderWindow, nullptr);
    contextCurrent = false;
    contextCallStatus = -1;
  }
}

void DeleteOnRenderThread() {
  if (contextCurrent) StopLayer();
  SDL_GL_DeleteContext(contextArgument);
  contextCurrent = false;
}

void PresentOnThisThread() {
  if (!contextCurrent) return;
  // The layer holds a frame's draws back until a flush.
  if (layerStarted) servedGl.Flush();
  SDL_GL_SwapWindow(renderWindow);
}

void* LookUpSystemGl(const char* name) { return SDL_GL_GetProcAddress(name); }

}  // namespace

bool StartRenderThread(SDL_Window* window, RenderGl gl) {
  StopRenderThread();
  renderGl = gl;
  if (gl == RenderGl::Layer) {
#ifdef QUARN_WINDOW_LAYER
    // Until the layer starts in the context, its calls draw nothing.
    servedGl = Gl11Table();
#else
    SDL_SetError("this build has no GL 1.1 layer");
    return false;
#endif
  } else {
    const char* missing = nullptr;
    if (!FillGlTableFrom(servedGl, LookUpSystemGl, &missing)) {
      SDL_SetError("the OpenGL library lacks %s, which the game calls", missing);
      return false;
    }
  }
  renderWindow = window;
  contextCurrent = false;
  if (!StartRenderQueue(&servedGl)) {
    SDL_SetError("cannot start the render thread");
    return false;
  }
  InstallGlTable(QueuedGlTable());
  return true;
}

void StopRenderThread() {
  StopRenderQueue();
  contextCurrent = false;
  renderWindow = nullptr;
}

void* CreateRenderContext() {
  if (!RenderQueueRunning()) return nullptr;
  createdContext = nullptr;
  RunOnRenderThread(CreateOnRenderThread);
  if (!createdContext) SDL_SetError("%s", renderError);
  return createdContext;
}

bool MakeRenderContextCurrent(void* context) {
  if (!RenderQueueRunning()) return false;
  contextArgument = context;
  RunOnRenderThread(MakeCurrentOnRenderThread);
  if (contextCallStatus != 0) SDL_SetError("%s", renderError);
  return contextCallStatus == 0;
}

bool ReleaseRenderContext() { return MakeRenderContextCurrent(nullptr); }

void DeleteRenderContext(void* context) {
  contextArgument = context;
  RunOnRenderThread(DeleteOnRenderThread);
}

bool RenderContextCurrent() { return RenderQueueRunning() && contextCurrent; }

void PresentWindowFrame() { PresentOnRenderThread(PresentOnThisThread); }
