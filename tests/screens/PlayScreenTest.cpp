#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "ScreenFixture.h"
#include "platform/InputState.h"
#include "screens/Screens.h"
#include "world/GameState.h"

namespace {

const Rgb kWhite = {255, 255, 255};
const Rgb kBlack = {0, 0, 0};
const Rgb kBar = FromFloat(0.7f, 0.1f, 0.4f);
const Rgb kButtonIdle = FromFloat(1.0f, 0.1f, 0.1f);
const Rgb kButtonHover = FromFloat(0.0f, 0.5f, 0.7f);
const Rgb kSector = FromFloat(1.0f, 0.7f, 0.3f);
const Rgb kClear = FromFloat(0.0f, 0.5f, 0.0f);
const Rgb kSky = FromFloat(tileColours[Sky]);

bool Same(Rgb a, Rgb b) { return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3; }

class PlayScreenTest : public ScreenTest {
 protected:
  // Sky in every drawn column, so anything else seen is what the test put there.
  void SkyColumns(int32_t first, int32_t last) {
    for (int32_t c = first; c <= last; ++c)
      for (int32_t r = 0; r < WorldRows; ++r) World[c][r] = Sky;
  }
  void StandardView() {
    PlacePlayer(20000, 300, 490, 510);
    SkyColumns(490, 510);
    mouseX = 0;
    mouseY = 0;
    mouseDown = false;
  }
};

TEST_F(PlayScreenTest, AContextSetUpAgainDrawsTheSameWorldInTheSamePlace) {
  // Somewhere else than the start, in a world that is no longer the generated one.
  screen = ScreenPlay;
  inventory[0] = 7;
  playerX = 20040;
  for (int32_t c = 495; c <= 505; ++c) World[c][12] = DarkTunnel;
  for (int i = 0; i < 5; ++i) PlayFrame();
  DrawPlayScreen();
  Grab();
  const std::vector<uint8_t> before = pixels_;
  const std::vector<uint8_t> world(&World[0][0], &World[0][0] + sizeof World);
  const int32_t x = playerX, y = playerY;

  Reopen(false);
  DrawPlayScreen();
  Grab();
  EXPECT_EQ(std::vector<uint8_t>(&World[0][0], &World[0][0] + sizeof World), world) << "a new world";
  EXPECT_EQ(playerX, x);
  EXPECT_EQ(playerY, y);
  EXPECT_EQ(inventory[0], 7);
  EXPECT_TRUE(pixels_ == before) << "the frame in the new context differs";
}

TEST_F(PlayScreenTest, PlayerQuadIsAtViewX390To410WhereverThePlayerIs) {
  const int32_t xs[] = {5, 1234, 20000, 39995};
  for (int32_t x : xs) {
    SCOPED_TRACE(::testing::Message() << "playerX " << x);
    int32_t column = x / TileWidth;
    int32_t first = column - 10 < 0 ? 0 : column - 10;
    int32_t last = column + 10 > 999 ? 999 : column + 10;
    PlacePlayer(x, 400, first, last);
    cameraLift = 100;  // view y 300
    SkyColumns(first, last);
    DrawPlayScreen();
    Grab();
    EXPECT_TRUE(PixelIs(390, 300, kWhite));
    EXPECT_TRUE(PixelIs(409, 300, kWhite));
    EXPECT_TRUE(PixelIs(400, 285, kWhite));
    EXPECT_TRUE(PixelIs(400, 314, kWhite));
    EXPECT_FALSE(Same(Pixel(389, 300), kWhite));
    EXPECT_FALSE(Same(Pixel(410, 300), kWhite));
    EXPECT_FALSE(Same(Pixel(400, 284), kWhite));
    EXPECT_FALSE(Same(Pixel(400, 315), kWhite));
  }
  // At the left end the world starts at view x 395: columns left of it are not drawn.
  PlacePlayer(5, 300, 0, 10);
  SkyColumns(0, 10);
  DrawPlayScreen();
  Grab();
  EXPECT_TRUE(PixelIs(394, 100, kClear));
  EXPECT_TRUE(PixelIs(395, 100, kSky));
}

TEST_F(PlayScreenTest, BottomBarFillsOnlyWhatSlotsAndButtonLeaveFree) {
  StandardView();
  DrawPlayScreen();
  Grab();
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(::testing::Message() << "slot " << k);
    int x0 = 50 * k;
    const float* tint = tileColours[k + Trunk];
    // The picture covers x0+3..x0+46, y 553..596: white texels left, grey right
    // under a black band along its top (y 553..563), so it stands upright.
    EXPECT_TRUE(PixelIs(x0 + 3, 560, FromFloat(tint)));
    EXPECT_TRUE(PixelIs(x0 + 20, 553, FromFloat(tint)));
    EXPECT_TRUE(PixelIs(x0 + 20, 596, FromFloat(tint)));
    EXPECT_TRUE(PixelIs(x0 + 46, 555, kBlack));
    EXPECT_TRUE(PixelIs(x0 + 46, 594, Modulated(tint, PictureGrey(k))));
    // The 3-pixel frame around it is bar.
    EXPECT_TRUE(PixelIs(x0 + 2, 560, kBar));
    EXPECT_TRUE(PixelIs(x0 + 47, 560, kBar));
    EXPECT_TRUE(PixelIs(x0 + 20, 552, kBar));
    EXPECT_TRUE(PixelIs(x0 + 20, 597, kBar));
    // The count "0" lights x0 + 10 over the picture; below it the bar covers it.
    EXPECT_TRUE(PixelIs(x0 + 10 + GlyphColumn('0'), 590, kWhite));
    EXPECT_TRUE(PixelIs(x0 + 10 + GlyphColumn('0'), 598, kBar));
  }
  EXPECT_TRUE(PixelIs(0, 550, kBar));
  EXPECT_TRUE(PixelIs(400, 575, kBar));
  EXPECT_TRUE(PixelIs(799, 599, kBar));
  EXPECT_TRUE(PixelIs(554, 575, kBar));
  EXPECT_TRUE(PixelIs(795, 575, kBar));
  EXPECT_TRUE(PixelIs(700, 554, kBar));
  EXPECT_TRUE(PixelIs(700, 595, kBar));
  EXPECT_TRUE(PixelIs(400, 549, kSky)) << "the world above the bar";
}

TEST_F(PlayScreenTest, CountsOfSeveralDigitsRunRightAndAreCutByTheBar) {
  StandardView();
  inventory[2] = 4071;
  DrawPlayScreen();
  Grab();
  const int x0 = 100;
  // "4071": pens at x0+10, +22, +34, +46. The first three land on the picture.
  EXPECT_TRUE(PixelIs(x0 + 10 + GlyphColumn('4'), 590, kWhite));
  EXPECT_TRUE(PixelIs(x0 + 22 + GlyphColumn('0'), 590, kWhite));
  EXPECT_TRUE(PixelIs(x0 + 34 + GlyphColumn('7'), 590, kWhite));
  // "1" would light x0 + 47, which is the frame: the bar covers it.
  EXPECT_TRUE(PixelIs(x0 + 46 + GlyphColumn('1'), 590, kBar));
  EXPECT_TRUE(PixelIs(x0 + 10 + GlyphColumn('0'), 590, FromFloat(tileColours[DarkOre])))
      << "no stray zero where the old count stood";
}

TEST_F(PlayScreenTest, CraftButtonEdgesHoverAndClick) {
  StandardView();
  DrawPlayScreen();
  Grab();
  EXPECT_TRUE(PixelIs(555, 555, kButtonIdle));
  EXPECT_TRUE(PixelIs(794, 594, kButtonIdle));
  EXPECT_TRUE(PixelIs(560 + GlyphColumn('c'), 570, kWhite));
  EXPECT_TRUE(PixelIs(560 + GlyphColumn('c') + 1, 570, kButtonIdle));

  const int notOver[4][2] = {{555, 575}, {795, 575}, {700, 555}, {700, 595}};
  for (const auto& p : notOver) {
    SCOPED_TRACE(::testing::Message() << "pointer (" << p[0] << ", " << p[1] << ")");
    mouseX = p[0];
    mouseY = p[1];
    mouseDown = true;
    DrawPlayScreen();
    Grab();
    EXPECT_TRUE(PixelIs(700, 575, kButtonIdle));
    EXPECT_TRUE(mouseDown);
    EXPECT_EQ(screen, ScreenMenu);
  }

  mouseX = 556;
  mouseY = 556;
  mouseDown = false;
  DrawPlayScreen();
  Grab();
  EXPECT_TRUE(PixelIs(700, 575, kButtonHover));
  EXPECT_EQ(screen, ScreenMenu) << "hovering is not clicking";

  screen = ScreenPlay;
  mouseDown = true;
  DrawPlayScreen();
  EXPECT_EQ(screen, ScreenCraft);
  EXPECT_FALSE(mouseDown);
}

// The shipped font sheet read straight from its bytes, top row of the picture
// first, so what the screen shows can be foretold without the game's reader.
struct FontSheet {
  int width = 0, height = 0;
  std::vector<Rgb> texels;
  Rgb At(int x, int rowFromTop) const { return texels[size_t(rowFromTop) * size_t(width) + size_t(x)]; }
};

FontSheet ReadShippedFont(const std::vector<uint8_t>& file) {
  FontSheet sheet;
  auto le = [&](size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | file[at + size_t(i)];
    return v;
  };
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return sheet;
  const int width = int(int32_t(le(18, 4))), height = int(int32_t(le(22, 4)));
  const int bytesPerPixel = int(le(28, 2)) / 8;
  if (width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4) || width * bytesPerPixel % 4 != 0 ||
      file.size() < 54 + size_t(width) * size_t(height) * size_t(bytesPerPixel))
    return sheet;
  sheet.width = width;
  sheet.height = height;
  sheet.texels.resize(size_t(width) * size_t(height));
  // Stored bottom row first, blue-green-red.
  for (int stored = 0; stored < height; ++stored)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &file[54 + (size_t(stored) * size_t(width) + size_t(x)) * size_t(bytesPerPixel)];
      sheet.texels[size_t(height - 1 - stored) * size_t(width) + size_t(x)] = {p[2], p[1], p[0]};
    }
  return sheet;
}

// "craft" with the real glyphs over the idle button, every pixel of the button
// foretold from font.bmp: character k is the 16 x 16 cell of code k + 32 (16
// cells a row, the picture's top row first), upright, standing on y 580 at
// x 560 + 12k; each glyph adds its texel squared to what lies below, clamped.
TEST_F(PlayScreenTest, CraftLabelMatchesTheShippedFontTexelForTexel) {
  std::ifstream in(QUARN_DATA_DIR "/font.bmp", std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const FontSheet font = ReadShippedFont(file);
  ASSERT_EQ(font.width, 256) << "data/font.bmp missing or not a 24/32-bit picture";
  ASSERT_EQ(font.height, 128);
  std::ofstream(imageDir_ + "/font.bmp", std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                                  std::streamsize(file.size()));
  Reopen();
  StandardView();
  DrawPlayScreen();
  Grab();

  // The button's own colour as this context stores it, for the glyphs to add to.
  const Rgb button = Pixel(556, 556);
  ASSERT_TRUE(PixelIs(556, 556, kButtonIdle));
  const char* label = "craft";
  int lit = 0, wrong = 0;
  for (int y = 555; y < 595; ++y)
    for (int x = 555; x < 795; ++x) {
      int want[3] = {button.r, button.g, button.b};
      for (int k = 0; label[k] != 0; ++k) {
        const int i = x - (560 + 12 * k), j = y - (580 - 16);
        if (i < 0 || i >= 16 || j < 0 || j >= 16) continue;
        const int glyph = label[k] - 32;
        const Rgb t = font.At(16 * (glyph % 16) + i, 16 * (glyph / 16) + j);
        const int texel[3] = {t.r, t.g, t.b};
        for (int ch = 0; ch < 3; ++ch)
          want[ch] = std::min(255, want[ch] + int(std::lround(double(texel[ch]) * texel[ch] / 255.0)));
        if (t.r + t.g + t.b > 0) ++lit;
      }
      if (!PixelIs(x, y, {want[0], want[1], want[2]}, 1) && ++wrong <= 10)
        ADD_FAILURE() << PixelIs(x, y, {want[0], want[1], want[2]}, 1).message();
    }
  EXPECT_EQ(wrong, 0) << "pixels of the button unlike the font's prediction";
  EXPECT_GT(lit, 100) << "the five glyphs of font.bmp look empty";
}

TEST_F(PlayScreenTest, PlainAndTexturedTilesInTheirColours) {
  StandardView();
  // Row 2 (view y 60..89), tile type t in column 490 + t (view x 40t..40t+39).
  for (int t = 0; t < TileTypeCount; ++t) World[490 + t][2] = TileType(t);
  DrawPlayScreen();
  Grab();
  for (int t = 0; t < TileTypeCount; ++t) {
    SCOPED_TRACE(::testing::Message() << "tile type " << t);
    int left = 40 * t;
    Rgb plain = FromFloat(tileColours[t]);
    EXPECT_TRUE(PixelIs(left, 60, plain));
    EXPECT_TRUE(PixelIs(left + 5, 75, plain));
    if (t >= Trunk && t <= PaleOre) {
      // Sprite picture t - 3, tinted: the grey right half tells the picture apart,
      // its black band (y 60..67) that it stands upright.
      EXPECT_TRUE(PixelIs(left + 30, 75, Modulated(tileColours[t], PictureGrey(t - Trunk))));
      EXPECT_TRUE(PixelIs(left + 30, 61, kBlack));
      EXPECT_TRUE(PixelIs(left + 30, 88, Modulated(tileColours[t], PictureGrey(t - Trunk))));
    } else {
      EXPECT_TRUE(PixelIs(left + 30, 75, plain));
      EXPECT_TRUE(PixelIs(left + 39, 89, plain));
    }
  }
  EXPECT_TRUE(PixelIs(40 * 3, 90, kSky)) << "row 3 below";
}

TEST_F(PlayScreenTest, NoColumnsDrawnShowsTheClearColour) {
  StandardView();
  drawFirst = 10;
  drawLast = 9;
  DrawPlayScreen();
  Grab();
  EXPECT_TRUE(PixelIs(100, 100, kClear));
  EXPECT_TRUE(PixelIs(400, 300, kWhite));
  EXPECT_TRUE(PixelIs(400, 575, kBar));
}

class SectorTest : public PlayScreenTest {
 protected:
  // Probes 4 px diagonally from the player's centre (400, 300), in the four
  // quarters, plus straight below at 8 (inside the radius) and 12 (outside).
  void Draw(float fraction) {
    StandardView();
    digFraction = fraction;
    DrawPlayScreen();
    Grab();
  }
  bool At(int dx, int dy) { return Same(Pixel(400 + dx, 300 + dy), kSector); }
  bool IsPlayer(int dx, int dy) { return Same(Pixel(400 + dx, 300 + dy), kWhite); }
};

TEST_F(SectorTest, FullDiscForOne) {
  Draw(1.0f);
  EXPECT_TRUE(At(4, 4));
  EXPECT_TRUE(At(-5, 4));
  EXPECT_TRUE(At(-5, -5));
  EXPECT_TRUE(At(4, -5));
  EXPECT_TRUE(At(0, 8));
  EXPECT_TRUE(At(8, 0));
  EXPECT_TRUE(IsPlayer(0, 12));
  EXPECT_TRUE(IsPlayer(0, -12));
}

TEST_F(SectorTest, LowerHalfForTwo) {
  Draw(2.0f);
  EXPECT_TRUE(At(4, 4));
  EXPECT_TRUE(At(-5, 4));
  EXPECT_TRUE(At(0, 8));
  EXPECT_TRUE(IsPlayer(-5, -5));
  EXPECT_TRUE(IsPlayer(4, -5));
  EXPECT_TRUE(IsPlayer(0, -8));
}

TEST_F(SectorTest, QuarterFromThreeToSixForFour) {
  Draw(4.0f);
  EXPECT_TRUE(At(4, 4));
  EXPECT_TRUE(At(1, 8));
  EXPECT_TRUE(At(8, 1));
  EXPECT_TRUE(IsPlayer(-5, 4));
  EXPECT_TRUE(IsPlayer(-5, -5));
  EXPECT_TRUE(IsPlayer(4, -5));
}

TEST_F(SectorTest, NothingForZeroInfinityOrNaN) {
  const float values[] = {0.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
  for (float v : values) {
    SCOPED_TRACE(::testing::Message() << "digFraction " << v);
    Draw(v);
    for (int dx = -9; dx <= 9; dx += 3)
      for (int dy = -9; dy <= 9; dy += 3) EXPECT_TRUE(IsPlayer(dx, dy)) << dx << ", " << dy;
  }
}

TEST_F(PlayScreenTest, WinMessageIsDrawnOverTheWorldAndThePlayer) {
  // The player stands on ground with its centre at view y 195, under the
  // message's line (y 184..199).
  PlacePlayer(20000, 195, 0, 0);
  SkyColumns(490, 510);
  World[500][7] = Ground;
  mouseX = 0;
  mouseY = 0;
  screen = ScreenPlay;
  const int yX = 300 + GlyphColumn('Y');  // over column 497, row 6: sky

  PlayFrame();
  Grab();
  EXPECT_TRUE(PixelIs(yX, 192, kSky));

  // Digging the ground below at 120 of 120 ticks: a full disc on the player.
  won = true;
  mouseX = 400;
  mouseY = 225;
  mouseDown = true;
  digTicks = 119;
  PlayFrame();
  Grab();
  ASSERT_EQ(playerY, 195);
  ASSERT_EQ(digFraction, 1.0f);
  EXPECT_TRUE(PixelIs(yX, 192, kWhite));
  EXPECT_TRUE(PixelIs(yX + 1, 192, kSky));
  EXPECT_TRUE(PixelIs(300 + 48 + GlyphColumn('W'), 186, kWhite));
  // The space at index 8 lights x 396, inside the disc.
  EXPECT_TRUE(PixelIs(396, 190, kWhite));
  EXPECT_TRUE(PixelIs(397, 190, kSector));
}

}  // namespace
