#include "RenderFixture.h"

#include "assets/FontUnit.h"
#include "assets/TextureLists.h"
#include "platform/Offscreen.h"
#include "platform/OpenGL.h"
#include "platform/RenderWindow.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

std::vector<uint8_t> CoordinateFontBmp() {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 256; ++x) {
      rgb.push_back(uint8_t(x));
      rgb.push_back(uint8_t(2 * y));
      rgb.push_back(255);
    }
  return MakeImageBmp(256, 128, 24, rgb);
}

std::vector<uint8_t> UniformBmp(int32_t width, int32_t height, int bitCount, Rgba colour) {
  std::vector<uint8_t> rgb;
  for (int32_t i = 0; i < width * height; ++i) {
    rgb.push_back(uint8_t(colour.r));
    rgb.push_back(uint8_t(colour.g));
    rgb.push_back(uint8_t(colour.b));
    if (bitCount == 32) rgb.push_back(uint8_t(colour.a));
  }
  return MakeImageBmp(width, height, bitCount, rgb);
}

std::vector<uint8_t> GameFontBmp() {
  std::ifstream in(QUARN_DATA_DIR "/font.bmp", std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AssetsRenderTest::SetUp() {
  char error[256] = "";
  haveContext_ = CreateOffscreenContext(800, 600, OffscreenGlFromEnvironment(), error, sizeof error);
  if (!haveContext_) {
    const char* optOut = std::getenv("QUARN_NO_GL");
    if (optOut && std::strcmp(optOut, "1") == 0) GTEST_SKIP() << "QUARN_NO_GL=1: " << error;
    FAIL() << "no offscreen OpenGL context (set QUARN_NO_GL=1 to skip render tests): " << error;
  }
  ResizeView(800, 600);
  CaptureMessages();
}

void AssetsRenderTest::TearDown() {
  StopCapturingMessages();
  if (!haveContext_) return;
  FreeGlyphLists();
  DestroyOffscreenContext();
}

void AssetsRenderTest::LoadAssets(const std::vector<uint8_t>& spriteFile, const std::vector<uint8_t>& fontFile) {
  WriteFile(dir.File("sprite.bmp"), spriteFile);
  WriteFile(dir.File("font.bmp"), fontFile);
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir.path.c_str()), 0);
  CreateTextureLists();
  SetupFont();
  ASSERT_EQ(chdir(old), 0);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
}

void AssetsRenderTest::ClearTo(float grey) {
  glClearColor(grey, grey, grey, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void AssetsRenderTest::Grab() {
  pixels_.assign(size_t(800) * 600 * 4, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
}

Rgba AssetsRenderTest::Pixel(int x, int y) const {
  const uint8_t* p = &pixels_[(size_t(599 - y) * 800 + size_t(x)) * 4];
  return {p[0], p[1], p[2], p[3]};
}

bool AssetsRenderTest::Lit(int x, int y) const {
  const Rgba p = Pixel(x, y);
  return p.r != 0 || p.g != 0 || p.b != 0;
}

void AssetsRenderTest::DrawSpriteQuad(int left, int top, int right, int bottom) {
  glEnable(GL_TEXTURE_2D);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(left, top);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2i(left, bottom);
  glTexCoord2f(1.0f / 6.0f, 0.0f);
  glVertex2i(right, top);
  glTexCoord2f(1.0f / 6.0f, 1.0f);
  glVertex2i(right, bottom);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}
