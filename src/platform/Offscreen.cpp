#include "platform/Offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/OpenGL.h"
#ifdef QUARN_OFFSCREEN_LAYER
#include "gl11/GL11.h"
#endif

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLSurface surface = EGL_NO_SURFACE;
EGLContext context = EGL_NO_CONTEXT;
bool layerStarted = false;

bool Fail(char* error, int errorSize, const char* what) {
  if (error && errorSize > 0) std::snprintf(error, size_t(errorSize), "%s (EGL error 0x%04X)", what, eglGetError());
  DestroyOffscreenContext();
  return false;
}

EGLDisplay OpenDisplay() {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay) {
    EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (d != EGL_NO_DISPLAY) return d;
  }
  return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}

void* LookUpDesktopGl(const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); }

}  // namespace

OffscreenGl OffscreenGlFromEnvironment() {
  const char* name = std::getenv("QUARN_OFFSCREEN_GL");
  return name && std::strcmp(name, "layer") == 0 ? OffscreenGl11Layer : OffscreenDesktopGl;
}

bool CreateOffscreenContext(int32_t width, int32_t height, OffscreenGl kind, char* error, int errorSize) {
  DestroyOffscreenContext();
#ifndef QUARN_OFFSCREEN_LAYER
  if (kind == OffscreenGl11Layer) return Fail(error, errorSize, "built without the GL 1.1 layer (needs libgles-dev)");
#endif
  const bool layer = kind == OffscreenGl11Layer;
  display = OpenDisplay();
  if (display == EGL_NO_DISPLAY) return Fail(error, errorSize, "no EGL display");
  EGLint major = 0, minor = 0;
  if (!eglInitialize(display, &major, &minor)) return Fail(error, errorSize, "eglInitialize failed");
  if (!eglBindAPI(layer ? EGL_OPENGL_ES_API : EGL_OPENGL_API))
    return Fail(error, errorSize, layer ? "OpenGL ES not available through EGL" : "desktop OpenGL not available through EGL");
  const EGLint renderable = layer ? EGL_OPENGL_ES3_BIT : EGL_OPENGL_BIT;

  // The game's pixel format: RGBA 8/8/8 colour and a 16-bit depth buffer.
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, renderable,
                                     EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                     EGL_DEPTH_SIZE, 16, EGL_NONE};
  EGLConfig config;
  EGLint count = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1)
    return Fail(error, errorSize, "no EGL config with RGB 8/8/8, depth 16 and pbuffers");

  const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
  if (surface == EGL_NO_SURFACE) return Fail(error, errorSize, "eglCreatePbufferSurface failed");

  // ES 3 for the layer; for desktop OpenGL no version: a legacy context, which
  // has the whole fixed-function pipeline.
  const EGLint layerAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
  context = eglCreateContext(display, config, EGL_NO_CONTEXT, layer ? layerAttributes : nullptr);
  if (context == EGL_NO_CONTEXT) return Fail(error, errorSize, "eglCreateContext failed");
  if (!eglMakeCurrent(display, surface, surface, context)) return Fail(error, errorSize, "eglMakeCurrent failed");
#ifdef QUARN_OFFSCREEN_LAYER
  if (layer) {
    char layerError[200] = "";
    if (!StartGl11(layerError, sizeof layerError)) {
      if (error && errorSize > 0) std::snprintf(error, size_t(errorSize), "GL 1.1 layer: %s", layerError);
      DestroyOffscreenContext();
      return false;
    }
    layerStarted = true;
    return true;
  }
#endif
  const char* missing = nullptr;
  GlTable desktopGl;
  if (!FillGlTableFrom(desktopGl, LookUpDesktopGl, &missing)) {
    if (error && errorSize > 0) std::snprintf(error, size_t(errorSize), "the OpenGL library lacks %s", missing);
    DestroyOffscreenContext();
    return false;
  }
  InstallGlTable(desktopGl);
  return true;
}

void DestroyOffscreenContext() {
  if (display == EGL_NO_DISPLAY) return;
#ifdef QUARN_OFFSCREEN_LAYER
  if (layerStarted) StopGl11();
  layerStarted = false;
#endif
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
  if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
  eglTerminate(display);
  display = EGL_NO_DISPLAY;
  surface = EGL_NO_SURFACE;
  context = EGL_NO_CONTEXT;
}

bool OffscreenContextCurrent() { return context != EGL_NO_CONTEXT; }
