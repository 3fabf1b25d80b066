// The offscreen context in a page: a canvas of its own that is never shown,
// with a WebGL 2 context and the GL 1.1 layer in it.
#include "platform/Offscreen.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "gl11/GL11.h"
#include "platform/web/WebWindow.h"

namespace {

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;

}  // namespace

// A page has no other OpenGL than the layer: every kind draws through it.
bool CreateOffscreenContext(int32_t width, int32_t height, OffscreenGl, char* error, int errorSize) {
  DestroyOffscreenContext();
  EM_ASM(
      {
        var canvas = document.createElement('canvas');
        canvas.id = 'quarn-offscreen';
        canvas.width = $0;
        canvas.height = $1;
        canvas.style.display = 'none';
        document.body.appendChild(canvas);
      },
      int(width), int(height));
  // Drawn into straight and read back after the frame: a depth buffer, and
  // the drawing buffer kept.
  context = EMSCRIPTEN_WEBGL_CONTEXT_HANDLE(CreateGameContext("#quarn-offscreen", true));
  if (context <= 0) {
    context = 0;
    std::snprintf(error, size_t(errorSize), "no WebGL 2 context");
    return false;
  }
  emscripten_webgl_make_context_current(context);
  char layerError[200] = "";
  if (!StartGl11(layerError, sizeof layerError)) {
    std::snprintf(error, size_t(errorSize), "GL 1.1 layer: %s", layerError);
    DestroyOffscreenContext();
    return false;
  }
  return true;
}

void DestroyOffscreenContext() {
  if (context == 0) return;
  StopGl11();
  emscripten_webgl_make_context_current(0);
  emscripten_webgl_destroy_context(context);
  context = 0;
  EM_ASM({
    var canvas = document.getElementById('quarn-offscreen');
    if (canvas) canvas.remove();
  });
}

bool OffscreenContextCurrent() { return context != 0; }
