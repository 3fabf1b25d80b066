#include "platform/sdl/RenderGl.h"

#include <cstring>

RenderGl ChooseRenderGl(const char* setting, bool layerBuilt, bool layerRefused, const char** note) {
  *note = nullptr;
  const bool set = setting && *setting;
  if (set && std::strcmp(setting, "desktop") == 0) return RenderGl::Desktop;
  if (set && std::strcmp(setting, "layer") == 0) {
    if (!layerBuilt) *note = "QUARN_GL=layer: this build has no GL 1.1 layer (built without libgles-dev)";
  } else if (set) {
    *note = "QUARN_GL is neither \"layer\" nor \"desktop\": ignored";
  }
  return layerBuilt && !layerRefused ? RenderGl::Layer : RenderGl::Desktop;
}

const char* RenderGlName(RenderGl gl) {
  return gl == RenderGl::Layer ? "the GL 1.1 layer on OpenGL ES 3" : "the system's OpenGL";
}
