#include "ScreenFixture.h"

#include "platform/OpenGL.h"
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "assets/FontUnit.h"
#include "platform/InputState.h"
#include "platform/Offscreen.h"
#include "platform/RenderWindow.h"
#include "screens/Screens.h"
#include "world/GameState.h"
#include "world/Random.h"

namespace {
constexpr int kWidth = 800;
constexpr int kHeight = 600;

int ToByte(float v) { return int(std::lround(double(v) * 255.0)); }
}  // namespace

Rgb FromFloat(float r, float g, float b) { return {ToByte(r), ToByte(g), ToByte(b)}; }
Rgb FromFloat(const float colour[3]) { return FromFloat(colour[0], colour[1], colour[2]); }
Rgb Modulated(const float colour[3], int grey) {
  float f = float(grey) / 255.0f;
  return FromFloat(colour[0] * f, colour[1] * f, colour[2] * f);
}

std::string ToString(const Rgb& c) {
  std::ostringstream out;
  out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
  return out.str();
}

int PictureGrey(int picture) { return 200 - 25 * picture; }

int GlyphColumn(char ch) { return (int(uint8_t(ch)) - 32) % 16; }

void WriteBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> file(54 + size_t(width) * size_t(height) * 3, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  file[26] = 1;
  file[28] = 24;
  size_t out = 54;
  for (int row = height - 1; row >= 0; --row) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &rgb[(size_t(row) * size_t(width) + size_t(x)) * 3];
      file[out++] = p[2];
      file[out++] = p[1];
      file[out++] = p[0];
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << "cannot write " << path;
  ASSERT_EQ(std::fwrite(file.data(), 1, file.size(), f), file.size());
  std::fclose(f);
}

void ScreenTest::SetUp() {
  const char* noGl = std::getenv("QUARN_NO_GL");
  if (noGl && std::strcmp(noGl, "1") == 0) GTEST_SKIP() << "QUARN_NO_GL=1: render tests skipped";

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  oldDir_ = cwd;
  char dirTemplate[] = "/tmp/quarn-screens-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  imageDir_ = dirTemplate;

  // Rows here run top of the file's picture first; the game draws the stored
  // first row (the picture's bottom row, y 15) at the top edge of a sprite.
  std::vector<uint8_t> sprite(96 * 16 * 3);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 96; ++x) {
      int picture = x / 16;
      bool left = (x % 16) < 8;
      uint8_t grey = left ? 255 : y >= 12 ? 0 : uint8_t(PictureGrey(picture));
      for (int ch = 0; ch < 3; ++ch) sprite[(size_t(y) * 96 + size_t(x)) * 3 + size_t(ch)] = grey;
    }
  WriteBmp24(imageDir_ + "/sprite.bmp", 96, 16, sprite);

  std::vector<uint8_t> font(256 * 128 * 3, 0);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 256; ++x) {
      int cellColumn = x / 16;
      if (x % 16 == cellColumn)
        for (int ch = 0; ch < 3; ++ch) font[(size_t(y) * 256 + size_t(x)) * 3 + size_t(ch)] = 255;
    }
  WriteBmp24(imageDir_ + "/font.bmp", 256, 128, font);
  ASSERT_EQ(chdir(imageDir_.c_str()), 0);

  InitGameState();
  ResetInputState();
  SetFixedSeed(12345);
  Reopen();
}

void ScreenTest::Reopen(bool freshWorld) {
  if (haveContext_) {
    FreeGlyphLists();
    DestroyOffscreenContext();
    haveContext_ = false;
  }
  char error[256] = "";
  ASSERT_TRUE(CreateOffscreenContext(kWidth, kHeight, OffscreenGlFromEnvironment(), error, sizeof error))
      << "no offscreen OpenGL context: " << error << " (set QUARN_NO_GL=1 to skip render tests)";
  haveContext_ = true;
  ResizeView(kWidth, kHeight);
  if (freshWorld) SetupGame();
  else SetupContext();
  // The game's first frame is a menu frame: its text turns the depth test on and
  // gives the texture its nearest filters, the steady state every probe assumes.
  // The pointer is put off both buttons so the frame changes no game state.
  int32_t keepX = mouseX, keepY = mouseY;
  mouseX = 0;
  mouseY = 0;
  DrawMenu();
  mouseX = keepX;
  mouseY = keepY;
}

void ScreenTest::TearDown() {
  if (haveContext_) {
    FreeGlyphLists();
    DestroyOffscreenContext();
    haveContext_ = false;
  }
  ClearFixedSeed();
  if (!oldDir_.empty()) {
    if (chdir(oldDir_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << oldDir_;
  }
  if (!imageDir_.empty()) {
    std::remove((imageDir_ + "/sprite.bmp").c_str());
    std::remove((imageDir_ + "/font.bmp").c_str());
    rmdir(imageDir_.c_str());
  }
}

void ScreenTest::Grab() {
  pixels_.assign(size_t(kWidth) * kHeight * 3, 0);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
}

Rgb ScreenTest::Pixel(int x, int y) const {
  // The buffer's rows run bottom-up; the view's y runs down.
  size_t at = (size_t(kHeight - 1 - y) * kWidth + size_t(x)) * 3;
  return {pixels_[at], pixels_[at + 1], pixels_[at + 2]};
}

::testing::AssertionResult ScreenTest::PixelIs(int x, int y, Rgb want, int tolerance) const {
  if (pixels_.empty()) return ::testing::AssertionFailure() << "no frame grabbed";
  Rgb got = Pixel(x, y);
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << ToString(got) << ", want "
                                       << ToString(want);
}

void ScreenTest::PlacePlayer(int32_t x, int32_t y, int32_t first, int32_t last) {
  playerX = x;
  playerY = y;
  cameraLift = 0;
  digFraction = 0.0f;
  drawFirst = first;
  drawLast = last;
}
