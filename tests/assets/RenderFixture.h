// Render tests: an 800 x 600 offscreen OpenGL context with the game's y-down view, and
// texture lists and glyphs set up from images the test chooses.
#pragma once

#include "BmpFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
  int r, g, b, a;
};

// 256 x 128 24-bit font sheets. In the coordinate sheet the texel in column x and picture
// row y (from the top) is red x, green 2y, blue 255, so a drawn pixel names its texel.
std::vector<uint8_t> CoordinateFontBmp();
std::vector<uint8_t> UniformBmp(int32_t width, int32_t height, int bitCount, Rgba colour);
// The game's own font sheet from data/.
std::vector<uint8_t> GameFontBmp();

class AssetsRenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the two images and runs the game's setup steps for them (texture lists, font),
  // then turns on blending and back-face culling as game setup does.
  void LoadAssets(const std::vector<uint8_t>& spriteFile, const std::vector<uint8_t>& fontFile);
  void ClearTo(float grey);
  // Reads the colour buffer; Pixel answers in view coordinates (y down).
  void Grab();
  Rgba Pixel(int x, int y) const;
  bool Lit(int x, int y) const;
  // A textured quad in view coordinates with sprite picture 0's texture coordinates.
  void DrawSpriteQuad(int left, int top, int right, int bottom);

  ScratchDir dir;
  std::vector<uint8_t> pixels_;
  bool haveContext_ = false;
};
