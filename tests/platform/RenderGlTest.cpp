// Which OpenGL an open of the Linux window tries: the GL 1.1 layer wherever
// this run can have it, QUARN_GL forcing either, and no second try of an ES
// context this run was refused (every F1 would otherwise make and throw away
// a window before the one that draws).
#include <gtest/gtest.h>

#include "platform/sdl/RenderGl.h"

namespace {

TEST(RenderGlChoice, TheLayerWhereThisRunCanHaveItQuarnGlForcingEither) {
  struct Row {
    const char* setting;
    bool layerBuilt, layerRefused;
    RenderGl tried;
    bool noted;
  };
  const Row rows[] = {
      {nullptr, true, false, RenderGl::Layer, false},
      {"", true, false, RenderGl::Layer, false},
      {nullptr, true, true, RenderGl::Desktop, false},
      {nullptr, false, false, RenderGl::Desktop, false},
      {"desktop", true, false, RenderGl::Desktop, false},
      {"layer", true, false, RenderGl::Layer, false},
      {"layer", true, true, RenderGl::Desktop, false},
      {"layer", false, false, RenderGl::Desktop, true},
      {"Desktop", true, false, RenderGl::Layer, true},
      {"desktop ", true, false, RenderGl::Layer, true},
  };
  for (const Row& row : rows) {
    const char* note = "stale";
    EXPECT_EQ(ChooseRenderGl(row.setting, row.layerBuilt, row.layerRefused, &note), row.tried)
        << "QUARN_GL=" << (row.setting ? row.setting : "(unset)") << " built " << row.layerBuilt << " refused "
        << row.layerRefused;
    EXPECT_EQ(note != nullptr, row.noted) << "QUARN_GL=" << (row.setting ? row.setting : "(unset)");
  }
}

}  // namespace
