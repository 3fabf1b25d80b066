// Texture display lists: which image is in force, its filters and the uploaded texels.
#include "RenderFixture.h"

#include "assets/FontUnit.h"
#include "assets/TextureLists.h"

#include "platform/OpenGL.h"

namespace {

using TextureListTest = AssetsRenderTest;

const Rgba kBlue{0, 0, 255, 255};
const Rgba kRed{255, 0, 0, 255};

// The level-0 image of the default texture, RGBA, bottom row first.
std::vector<uint8_t> TextureImage(GLint* width, GLint* height) {
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
  std::vector<uint8_t> texels(size_t(*width) * size_t(*height) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!texels.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  return texels;
}

TEST_F(TextureListTest, SpritesAfterTextShowTheFontUntilTheSpriteListIsCalledAgain) {
  LoadAssets(UniformBmp(64, 16, 24, kBlue), UniformBmp(256, 128, 24, kRed));
  ClearTo(0.0f);
  glCallList(spriteTextureList);
  DrawTextAt(10, 30, "x");
  glDisable(GL_DEPTH_TEST);
  glColor3f(1.0f, 1.0f, 1.0f);
  DrawSpriteQuad(100, 100, 140, 130);
  glCallList(spriteTextureList);
  DrawSpriteQuad(200, 100, 240, 130);
  Grab();
  const Rgba stale = Pixel(120, 115);
  EXPECT_EQ(stale.r, 255);
  EXPECT_EQ(stale.b, 0);
  const Rgba fresh = Pixel(220, 115);
  EXPECT_EQ(fresh.r, 0);
  EXPECT_EQ(fresh.b, 255);
}

TEST_F(TextureListTest, SpriteBeforeAnyTextIsDrawnInItsTintOnly) {
  LoadAssets(UniformBmp(64, 16, 24, {0, 128, 255, 255}), UniformBmp(256, 128, 24, kRed));
  ClearTo(0.0f);
  glCallList(spriteTextureList);
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST_MIPMAP_LINEAR);
  glColor3f(1.0f, 0.5f, 1.0f);
  DrawSpriteQuad(100, 100, 140, 130);
  // After the first text the font list's filters make the sprite image complete.
  DrawTextAt(10, 30, "x");
  glDisable(GL_DEPTH_TEST);
  glCallList(spriteTextureList);
  glColor3f(1.0f, 0.5f, 1.0f);
  DrawSpriteQuad(200, 100, 240, 130);
  Grab();
  const Rgba untextured = Pixel(120, 115);
  EXPECT_EQ(untextured.r, 255);
  EXPECT_NEAR(untextured.g, 128, 1);
  EXPECT_EQ(untextured.b, 255);
  const Rgba textured = Pixel(220, 115);
  EXPECT_EQ(textured.r, 0);
  EXPECT_NEAR(textured.g, 64, 1);
  EXPECT_EQ(textured.b, 255);
}

TEST_F(TextureListTest, ListsSetWrapAndOnlyTheFontListSetsFilters) {
  LoadAssets(UniformBmp(64, 16, 24, kBlue), UniformBmp(256, 128, 24, kRed));
  glCallList(fontTextureList);
  glCallList(spriteTextureList);
  glCallList(spriteTextureList);
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_NEAREST);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_NEAREST);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_REPEAT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
  EXPECT_EQ(value, GL_REPEAT);
  GLint width = 0, height = 0;
  TextureImage(&width, &height);
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 16);
  // The lists hold the upload, not a texture object.
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
  EXPECT_EQ(value, 0);
}

TEST_F(TextureListTest, TwentyFourBitImagesUploadOpaque) {
  const std::vector<uint8_t> topFirst = {255, 255, 255, 10, 20, 30, 0, 0, 0, 1, 2, 3,
                                         9, 8, 7, 6, 5, 4, 3, 2, 1, 200, 100, 50};
  LoadAssets(MakeImageBmp(4, 2, 24, topFirst), UniformBmp(256, 128, 24, kRed));
  glCallList(spriteTextureList);
  GLint width = 0, height = 0;
  const std::vector<uint8_t> texels = TextureImage(&width, &height);
  ASSERT_EQ(width, 4);
  ASSERT_EQ(height, 2);
  const std::vector<uint8_t> want = {9, 8, 7, 255, 6, 5, 4, 255, 3, 2, 1, 255, 200, 100, 50, 255,
                                     255, 255, 255, 255, 10, 20, 30, 255, 0, 0, 0, 255, 1, 2, 3, 255};
  EXPECT_EQ(texels, want);
}

TEST_F(TextureListTest, ThirtyTwoBitImagesKeepAlphaZeroOnlyForTheKey) {
  // Top row: white with alpha 0 (the key), white with alpha 255; bottom row: black with
  // alpha 0, a colour with alpha 40.
  const std::vector<uint8_t> topFirst = {255, 255, 255, 0, 255, 255, 255, 255, 0, 0, 0, 0, 30, 20, 10, 40};
  LoadAssets(MakeImageBmp(2, 2, 32, topFirst), UniformBmp(256, 128, 24, kRed));
  glCallList(spriteTextureList);
  GLint width = 0, height = 0;
  const std::vector<uint8_t> texels = TextureImage(&width, &height);
  ASSERT_EQ(width, 2);
  const std::vector<uint8_t> want = {0, 0, 0, 255, 30, 20, 10, 255, 255, 255, 255, 0, 255, 255, 255, 255};
  EXPECT_EQ(texels, want);
}

TEST_F(TextureListTest, TwentyFourBitImagesOfAnyWidthUploadWithTheirOwnStride) {
  for (int width : {1, 3, 5, 6, 7}) {
    std::vector<uint8_t> topFirst;
    for (int i = 0; i < width * 3; ++i) topFirst.insert(topFirst.end(), {uint8_t(i), uint8_t(100 + i), uint8_t(7)});
    LoadAssets(MakeImageBmp(width, 3, 24, topFirst), UniformBmp(256, 128, 24, kRed));
    glCallList(spriteTextureList);
    GLint w = 0, h = 0;
    const std::vector<uint8_t> texels = TextureImage(&w, &h);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, 3);
    for (int row = 0; row < 3; ++row)
      for (int x = 0; x < width; ++x) {
        const int i = (2 - row) * width + x;  // file rows are bottom first
        const uint8_t* t = &texels[size_t(row * width + x) * 4];
        ASSERT_EQ(t[0], uint8_t(i)) << "width " << width << " texel " << x << "," << row;
        ASSERT_EQ(t[1], uint8_t(100 + i));
        ASSERT_EQ(t[3], 255);
      }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the unpack alignment is put back after recording";
    FreeGlyphLists();
  }
}

TEST_F(TextureListTest, ASpriteSheetWithoutAnImageKeepsTheLastImage) {
  std::vector<uint8_t> wrong = UniformBmp(64, 16, 24, kBlue);
  wrong[1] = 'N';
  const std::vector<uint8_t> eightBit = MakeBmp(4, 4, 8, std::vector<uint8_t>(16, 3));
  for (const std::vector<uint8_t>& sprite : {wrong, eightBit}) {
    LoadAssets(sprite, UniformBmp(256, 128, 24, kRed));
    EXPECT_EQ(capturedMessages.size(), sprite[1] == 'N' ? 1u : 0u);
    capturedMessages.clear();
    glCallList(fontTextureList);
    glCallList(spriteTextureList);
    GLint width = 0, height = 0;
    TextureImage(&width, &height);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 128);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    FreeGlyphLists();
  }
}

}  // namespace
