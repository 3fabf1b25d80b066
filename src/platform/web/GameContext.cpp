#include "platform/web/WebWindow.h"

#include <emscripten/html5.h>

int32_t CreateGameContext(const char* selector, bool offscreen) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = offscreen ? EM_TRUE : EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.premultipliedAlpha = EM_FALSE;
  attributes.preserveDrawingBuffer = offscreen ? EM_TRUE : EM_FALSE;
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(selector, &attributes);
  return context > 0 ? int32_t(context) : 0;
}
