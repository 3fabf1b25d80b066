#include "platform/OpenGL.h"

#include "ScreenFixture.h"
#include "platform/InputState.h"
#include "screens/Screens.h"
#include "world/GameState.h"

namespace {

const Rgb kGameIdle = FromFloat(0.0f, 0.9f, 0.0f);
const Rgb kGameHover = FromFloat(0.0f, 0.7f, 0.0f);
const Rgb kExitIdle = FromFloat(0.0f, 0.0f, 1.0f);
const Rgb kExitHover = FromFloat(0.0f, 0.0f, 0.5f);
const Rgb kClear = FromFloat(0.0f, 0.5f, 0.0f);
const Rgb kWhite = {255, 255, 255};

using MenuTest = ScreenTest;

TEST_F(MenuTest, IdleButtonsWithTheirExtentsAndLabels) {
  mouseX = 400;
  mouseY = 275;  // between the buttons: over neither
  DrawMenu();
  Grab();
  EXPECT_TRUE(PixelIs(310, 160, kGameIdle));
  EXPECT_TRUE(PixelIs(310, 310, kExitIdle));
  EXPECT_TRUE(PixelIs(400, 275, kClear));
  // Pixel extents of the game button: 300..499 x 150..249.
  EXPECT_TRUE(PixelIs(300, 150, kGameIdle));
  EXPECT_TRUE(PixelIs(499, 249, kGameIdle));
  EXPECT_TRUE(PixelIs(299, 200, kClear));
  EXPECT_TRUE(PixelIs(500, 200, kClear));
  EXPECT_TRUE(PixelIs(400, 149, kClear));
  EXPECT_TRUE(PixelIs(400, 250, kClear));
  // Labels stand on y 200 and 350 from x 370; the generated font lights one
  // column per glyph, added over the button.
  EXPECT_TRUE(PixelIs(370 + GlyphColumn('g'), 192, kWhite));
  EXPECT_TRUE(PixelIs(370 + GlyphColumn('g') + 1, 192, kGameIdle));
  EXPECT_TRUE(PixelIs(370 + 12 + GlyphColumn('a'), 185, kWhite));
  EXPECT_TRUE(PixelIs(370 + 12 + GlyphColumn('a'), 200, kGameIdle));  // below the line
  EXPECT_TRUE(PixelIs(370 + GlyphColumn('e'), 342, kWhite));
  EXPECT_FALSE(mouseDown);
  EXPECT_EQ(screen, ScreenMenu);
}

TEST_F(MenuTest, PointerOnAnEdgeIsNotOverTheButtonAndLeavesTheClickLatched) {
  const int edges[4][2] = {{300, 200}, {500, 200}, {400, 150}, {400, 250}};
  for (const auto& e : edges) {
    SCOPED_TRACE(::testing::Message() << "pointer (" << e[0] << ", " << e[1] << ")");
    mouseX = e[0];
    mouseY = e[1];
    mouseDown = true;
    DrawMenu();
    Grab();
    EXPECT_TRUE(PixelIs(310, 160, kGameIdle));
    EXPECT_TRUE(mouseDown) << "a press off the buttons stays latched";
    EXPECT_EQ(screen, ScreenMenu);
    EXPECT_FALSE(done);
  }
}

TEST_F(MenuTest, PointerJustInsideDarkensOnlyThatButtonAndClearsTheLatch) {
  mouseX = 301;
  mouseY = 151;
  DrawMenu();
  Grab();
  EXPECT_TRUE(PixelIs(310, 160, kGameHover));
  EXPECT_TRUE(PixelIs(310, 310, kExitIdle));
  EXPECT_EQ(screen, ScreenMenu);

  mouseX = 499;
  mouseY = 399;
  DrawMenu();
  Grab();
  EXPECT_TRUE(PixelIs(310, 160, kGameIdle));
  EXPECT_TRUE(PixelIs(310, 310, kExitHover));
  EXPECT_FALSE(done) << "hovering is not clicking";
}

TEST_F(MenuTest, PressDraggedOntoExitEndsTheGame) {
  mouseX = 100;
  mouseY = 100;
  mouseDown = true;
  DrawMenu();
  EXPECT_TRUE(mouseDown);
  mouseX = 400;
  mouseY = 350;
  DrawMenu();
  EXPECT_TRUE(done);
  EXPECT_FALSE(mouseDown);
  EXPECT_EQ(screen, ScreenMenu);
}

// The click that starts the game must not reach the play update as a held
// button: the target cell under the pointer is diggable ground, and a seen
// press would give a non-zero dig fraction at once.
TEST_F(MenuTest, ClickOnGameStartsPlayWithoutDigging) {
  mouseX = 400;
  mouseY = 200;
  World[500][6] = Ground;  // the cell under (400, 200) with the player at x 20000
  mouseDown = true;
  DrawMenu();
  EXPECT_EQ(screen, ScreenPlay);
  EXPECT_FALSE(mouseDown);

  PlayFrame();
  EXPECT_EQ(targetColumn, 500);
  EXPECT_EQ(targetRow, 6);
  EXPECT_EQ(digTicks, 0);
  EXPECT_EQ(digFraction, 0.0f);
  EXPECT_EQ(World[500][6], Ground);

  // The same frame with the button really held does start a dig.
  mouseDown = true;
  PlayFrame();
  EXPECT_NE(digFraction, 0.0f);
}

}  // namespace
