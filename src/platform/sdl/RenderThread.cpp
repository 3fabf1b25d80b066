#include "platform/sdl/RenderThread.h"

#include <SDL.h>

#include <cstdio>

#include "platform/RenderWindow.h"
#include "platform/sdl/RenderQueue.h"

namespace {

// The system's OpenGL, which only the render thread calls.
GlTable systemGl;

SDL_Window* renderWindow = nullptr;
bool contextCurrent = false;  // written on the render thread while the main thread waits

// The arguments and outcome of the context call the main thread waits for.
void* contextArgument = nullptr;
void* createdContext = nullptr;
int contextCallStatus = 0;
char renderError[256];

void KeepRenderError() { std::snprintf(renderError, sizeof renderError, "%s", SDL_GetError()); }

void CreateOnRenderThread() {
  createdContext = SDL_GL_CreateContext(renderWindow);
  // SDL makes a new context current: the game sees none until it asks.
  if (createdContext) SDL_GL_MakeCurrent(renderWindow, nullptr);
  else KeepRenderError();
}

void MakeCurrentOnRenderThread() {
  contextCallStatus = SDL_GL_MakeCurrent(renderWindow, contextArgument);
  if (contextCallStatus != 0) {
    KeepRenderError();
    return;
  }
  contextCurrent = contextArgument != nullptr;
  // Some servers refuse this; they have no vsync anyway.
  if (contextCurrent) SDL_GL_SetSwapInterval(0);
}

void DeleteOnRenderThread() {
  SDL_GL_DeleteContext(contextArgument);
  contextCurrent = false;
}

void PresentOnThisThread() {
  if (contextCurrent) SDL_GL_SwapWindow(renderWindow);
}

void* LookUpSystemGl(const char* name) { return SDL_GL_GetProcAddress(name); }

}  // namespace

bool StartRenderThread(SDL_Window* window) {
  StopRenderThread();
  const char* missing = nullptr;
  if (!FillGlTableFrom(systemGl, LookUpSystemGl, &missing)) {
    SDL_SetError("the OpenGL library lacks %s, which the game calls", missing);
    return false;
  }
  renderWindow = window;
  contextCurrent = false;
  if (!StartRenderQueue(&systemGl)) {
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
