// Render-test fixture: an 800 x 600 offscreen context with the game set up in
// it, from small generated images whose texels the probes can predict.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  int r, g, b;
};

// A colour given as the game's float triple, as it lands in an 8-bit buffer.
Rgb FromFloat(float r, float g, float b);
Rgb FromFloat(const float colour[3]);
// The tint times a texel grey level 0..255 (the default modulate environment).
Rgb Modulated(const float colour[3], int grey);
std::string ToString(const Rgb& c);

// Generated images:
// - sprite.bmp: 96 x 16, six 16 x 16 pictures. Picture k is white in its left
//   half and grey PictureGrey(k) in its right half, so a tinted picture shows
//   the tint on the left and tint x grey on the right; but the top quarter of
//   the right half, as drawn, is black (the first four rows stored, t 0 to
//   0.25), so a picture drawn upside down shows its black band at the bottom.
// - font.bmp: 256 x 128, black but for one white texel column per glyph: the
//   glyph in grid column c lights cell column c. A character at pen x therefore
//   lights view column x + (its grid column), over the glyph's 16 rows.
int PictureGrey(int picture);
int GlyphColumn(char ch);
// Writes a 24-bit BMP as the game reads it (bottom row first, BGR, no padding
// needed for these widths). `rgb` is top row first.
void WriteBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new context with a fresh SetupGame in it, as a full-screen toggle does,
  // followed by one menu frame. With `freshWorld` false only what lives in the
  // context is set up again (SetupContext), as for a context that replaces a
  // lost one.
  void Reopen(bool freshWorld = true);
  // Reads the whole colour buffer; Pixel then answers in view coordinates.
  void Grab();
  Rgb Pixel(int x, int y) const;
  // Passes when the view pixel (x, y) is within `tolerance` of `want` per channel.
  ::testing::AssertionResult PixelIs(int x, int y, Rgb want, int tolerance = 3) const;

  // A drawing state for DrawPlayScreen that needs no update: player at
  // (playerX, playerY), no camera lift, no dig, columns first..last drawn.
  void PlacePlayer(int32_t x, int32_t y, int32_t first, int32_t last);

  std::string oldDir_;
  std::string imageDir_;
  std::vector<uint8_t> pixels_;
  bool haveContext_ = false;
};
