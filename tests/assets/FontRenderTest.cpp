// Text drawing with the glyph lists, probed pixel by pixel.
#include "RenderFixture.h"

#include "assets/FontUnit.h"
#include "assets/TextureLists.h"

#include "platform/OpenGL.h"

#include <cmath>

namespace {

using FontRenderTest = AssetsRenderTest;

const Rgba kWhite{255, 255, 255, 255};
const Rgba kBlack{0, 0, 0, 255};

class CoordinateFontTest : public AssetsRenderTest {
 protected:
  void SetUp() override {
    AssetsRenderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    LoadAssets(UniformBmp(64, 16, 24, kBlack), CoordinateFontBmp());
    // Without blending a drawn pixel is the texel itself.
    glDisable(GL_BLEND);
    ClearTo(0.0f);
  }

  // Every pixel of the 16 x 16 cell with its top left at (left, top) shows the texel of
  // glyph cell (row, column) of the coordinate sheet at the same offset.
  ::testing::AssertionResult ShowsCell(int left, int top, int row, int column) {
    for (int j = 0; j < 16; ++j)
      for (int i = 0; i < 16; ++i) {
        const Rgba p = Pixel(left + i, top + j);
        const int wantR = 16 * column + i;
        const int wantG = 2 * (16 * row + j);
        if (p.r != wantR || p.g != wantG || p.b != 255)
          return ::testing::AssertionFailure()
                 << "pixel (" << left + i << ", " << top + j << ") shows texel (" << p.r << ", " << p.g / 2
                 << ") blue " << p.b << ", want (" << wantR << ", " << wantG / 2 << ") of cell " << row << ","
                 << column;
      }
    return ::testing::AssertionSuccess();
  }
};

// Four cells at x = 370, 382, 394 and 406, each 16 wide, all from y = 184 to 200.
TEST_F(FontRenderTest, GameLabelCoversExactlyItsFourCells) {
  LoadAssets(UniformBmp(64, 16, 24, kBlack), UniformBmp(256, 128, 24, kWhite));
  ClearTo(0.0f);
  DrawTextAt(370, 200, "game");
  Grab();
  int lit = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const bool inside = x >= 370 && x < 422 && y >= 184 && y < 200;
      ASSERT_EQ(Lit(x, y), inside) << "pixel (" << x << ", " << y << ")";
      lit += inside;
    }
  EXPECT_EQ(lit, 52 * 16);
}

// The game's glyphs keep to the first 12 columns of their cells, so a text ends where its
// pen stops: "game" stays within x 370..418 and y 184..200.
TEST_F(FontRenderTest, GameFontGlyphsStayInsideTheirAdvance) {
  const std::vector<uint8_t> font = GameFontBmp();
  ASSERT_GT(font.size(), 54u) << "data/font.bmp missing";
  LoadAssets(UniformBmp(64, 16, 24, kBlack), font);
  ClearTo(0.0f);
  DrawTextAt(370, 200, "game");
  Grab();
  int litPerGlyph[4] = {0, 0, 0, 0};
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      if (!Lit(x, y)) continue;
      ASSERT_TRUE(x >= 370 && x <= 418 && y >= 184 && y <= 200) << "stray pixel (" << x << ", " << y << ")";
      // Glyph k owns its first 12 columns; the last 4 overlap the next glyph's cell.
      const int k = std::min(3, (x - 370) / 12);
      ++litPerGlyph[k];
    }
  for (int k = 0; k < 4; ++k) EXPECT_GT(litPerGlyph[k], 15) << "glyph " << k << " of \"game\" looks empty";
  EXPECT_TRUE(capturedMessages.empty());
}

TEST_F(CoordinateFontTest, GlyphsSampleTheirOwnCellUpright) {
  DrawTextAt(100, 100, "A");
  DrawTextAt(200, 100, "0");
  DrawTextAt(300, 100, "~");
  DrawTextAt(400, 100, " ");
  DrawTextAt(500, 100, "\x7f");
  Grab();
  EXPECT_TRUE(ShowsCell(100, 84, 2, 1));   // code 65, glyph 33
  EXPECT_TRUE(ShowsCell(200, 84, 1, 0));   // code 48, glyph 16
  EXPECT_TRUE(ShowsCell(300, 84, 5, 14));  // code 126, glyph 94
  EXPECT_TRUE(ShowsCell(400, 84, 0, 0));   // a space is a glyph like any other
  EXPECT_TRUE(ShowsCell(500, 84, 5, 15));  // code 127, glyph 95
}

TEST_F(CoordinateFontTest, PenAdvancesTwelveUnitsPerCharacter) {
  DrawTextAt(100, 300, "ABC");
  Grab();
  // Each later glyph covers the last four columns of the one before.
  EXPECT_TRUE(ShowsCell(124, 284, 2, 3));
  for (int j = 0; j < 16; ++j) {
    EXPECT_EQ(Pixel(100, 284 + j).r, 16);
    EXPECT_EQ(Pixel(112, 284 + j).r, 32);
  }
  EXPECT_FALSE(Lit(140, 290));
  EXPECT_FALSE(Lit(99, 290));
}

TEST_F(CoordinateFontTest, CharactersWithoutAGlyphDrawTheStandIn) {
  DrawTextAt(100, 100, "\x01");
  DrawTextAt(200, 100, "\x1f");
  DrawTextAt(300, 100, "\x80");
  DrawTextAt(400, 100, "\xff");
  DrawTextAt(100, 300, "A\x80" "B\t0");
  Grab();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  for (int x : {100, 200, 300, 400}) EXPECT_TRUE(ShowsCell(x, 84, 6, 0)) << x;
  // The stand-in advances like any glyph and the text goes on after it.
  EXPECT_TRUE(ShowsCell(148, 284, 1, 0));
  for (int j = 0; j < 16; ++j) {
    EXPECT_EQ(Pixel(100, 284 + j).r, 16);   // A
    EXPECT_EQ(Pixel(112, 284 + j).r, 0);    // stand-in: row 6, column 0
    EXPECT_EQ(Pixel(112, 284 + j).g, 2 * (96 + j));
    EXPECT_EQ(Pixel(124, 284 + j).r, 32);   // B
    EXPECT_EQ(Pixel(136, 284 + j).r, 0);    // stand-in for the tab
    EXPECT_EQ(Pixel(136, 284 + j).g, 2 * (96 + j));
  }
}

TEST_F(FontRenderTest, EmptyTextChangesNothing) {
  LoadAssets(UniformBmp(64, 16, 24, kBlack), UniformBmp(256, 128, 24, kWhite));
  ClearTo(0.3f);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor3f(0.25f, 0.5f, 0.75f);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glListBase(7);
  glMatrixMode(GL_PROJECTION);
  Grab();
  const std::vector<uint8_t> before = pixels_;
  DrawTextAt(100, 100, "");
  DrawTextAt(100, 100, nullptr);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 0.25f);
  EXPECT_FLOAT_EQ(colour[1], 0.5f);
  EXPECT_FLOAT_EQ(colour[2], 0.75f);
  GLint value = 0;
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_PROJECTION);
  glGetIntegerv(GL_LIST_BASE, &value);
  EXPECT_EQ(value, 7);
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_DST_COLOR);
  Grab();
  EXPECT_TRUE(pixels_ == before);
}

TEST_F(FontRenderTest, TextLeavesItsStateWhateverCameBefore) {
  LoadAssets(UniformBmp(64, 16, 24, kBlack), UniformBmp(256, 128, 24, kWhite));
  ClearTo(0.0f);
  glColor3f(1.0f, 0.0f, 0.0f);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  // A camera translation in the modelview matrix, as the play screen has.
  glTranslatef(-123.0f, 45.0f, 0.0f);
  GLfloat projectionBefore[16], modelviewBefore[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
  glMatrixMode(GL_PROJECTION);

  DrawTextAt(50, 60, "hi");

  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 1.0f);
  EXPECT_EQ(colour[1], 1.0f);
  EXPECT_EQ(colour[2], 1.0f);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLint value = 0;
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_MODELVIEW);
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_DST_COLOR);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(value, GL_ZERO);
  glGetIntegerv(GL_LIST_BASE, &value);
  EXPECT_EQ(GLuint(value), fontBase - 32);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLfloat projectionAfter[16], modelviewAfter[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
    EXPECT_EQ(modelviewAfter[i], modelviewBefore[i]) << i;
  }
  // The text landed at its view position, not shifted by the camera.
  Grab();
  EXPECT_TRUE(Lit(50, 44));
  EXPECT_TRUE(Lit(77, 59));
  EXPECT_FALSE(Lit(49, 50));
  EXPECT_FALSE(Lit(78, 50));
  EXPECT_FALSE(Lit(60, 60));
  EXPECT_FALSE(Lit(60, 43));
}

TEST_F(FontRenderTest, GreyGlyphOverGreyAddsItsSquare) {
  LoadAssets(UniformBmp(64, 16, 24, kBlack), UniformBmp(256, 128, 24, {128, 128, 128, 255}));
  ClearTo(0.2f);
  DrawTextAt(200, 300, "x");
  Grab();
  for (int channel = 0; channel < 3; ++channel) {
    const Rgba p = Pixel(208, 292);
    const int value = channel == 0 ? p.r : channel == 1 ? p.g : p.b;
    EXPECT_NEAR(value, 0.45 * 255.0, 1.0) << "channel " << channel;
  }
  EXPECT_EQ(Pixel(230, 292).r, 51);
}

TEST_F(FontRenderTest, GlyphsFaceFrontUnderBackFaceCulling) {
  LoadAssets(UniformBmp(64, 16, 24, kBlack), UniformBmp(256, 128, 24, kWhite));
  ClearTo(0.0f);
  ASSERT_TRUE(glIsEnabled(GL_CULL_FACE));
  DrawTextAt(100, 100, "A");
  // The same glyph list in the y-down view without the flip faces away and is culled.
  glCallList(fontTextureList);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
  glLoadIdentity();
  glTranslatef(300.0f, 100.0f, 0.0f);
  glCallList(fontBase + 33);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  Grab();
  EXPECT_TRUE(Lit(108, 92));
  EXPECT_FALSE(Lit(308, 108));
  EXPECT_FALSE(Lit(308, 92));
}

TEST_F(FontRenderTest, FontWithoutAnImageDrawsPlainWhiteCells) {
  std::vector<uint8_t> broken = UniformBmp(256, 128, 24, {40, 40, 40, 255});
  broken[0] = 'X';
  LoadAssets(UniformBmp(64, 16, 24, kBlack), broken);
  ASSERT_EQ(capturedMessages.size(), 1u);
  EXPECT_EQ(capturedMessages[0].text, "Invalid Bitmap");
  ClearTo(0.0f);
  DrawTextAt(100, 100, "ab");
  Grab();
  EXPECT_EQ(Pixel(100, 84).r, 255);
  EXPECT_EQ(Pixel(127, 99).g, 255);
  EXPECT_FALSE(Lit(128, 99));
}

TEST_F(FontRenderTest, FreeGlyphListsDeletesAllHundredTwentyEight) {
  LoadAssets(UniformBmp(64, 16, 24, kBlack), UniformBmp(256, 128, 24, kWhite));
  const GLuint base = fontBase;
  ASSERT_NE(base, 0u);
  for (GLuint g = 0; g < 128; ++g) ASSERT_TRUE(glIsList(base + g)) << g;
  FreeGlyphLists();
  for (GLuint g = 0; g < 128; ++g) EXPECT_FALSE(glIsList(base + g)) << g;
  EXPECT_TRUE(glIsList(spriteTextureList));
  EXPECT_TRUE(glIsList(fontTextureList));
  FreeGlyphLists();  // a second call touches no other lists
  EXPECT_TRUE(glIsList(spriteTextureList));
}

}  // namespace
