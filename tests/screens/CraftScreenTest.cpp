#include "ScreenFixture.h"
#include "platform/InputState.h"
#include "screens/Screens.h"
#include "world/Crafting.h"
#include "world/GameState.h"

namespace {

const Rgb kWhite = {255, 255, 255};
const Rgb kBlack = {0, 0, 0};
const Rgb kGrey = FromFloat(0.6f, 0.6f, 0.6f);
const Rgb kHighlight = FromFloat(0.8f, 0.2f, 0.8f);
const Rgb kClear = FromFloat(0.0f, 0.5f, 0.0f);
const Rgb kButtonIdle = FromFloat(1.0f, 0.1f, 0.1f);
const Rgb kButtonHover = FromFloat(0.0f, 0.5f, 0.7f);

class CraftScreenTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    screen = ScreenCraft;
  }
  void Frame(int x, int y, bool down) {
    mouseX = x;
    mouseY = y;
    mouseDown = down;
    CraftFrame();
    Grab();
  }
  // A spot of box (ladder, row) that no icon covers.
  static int BoxSpotX(int ladder) { return 50 + 250 * ladder + 190; }
  static int BoxSpotY(int row) { return 50 + 55 * row + 45; }
};

TEST_F(CraftScreenTest, CellHitTestIsStrictOnEveryEdge) {
  struct Case {
    int x, y, cell;
  };
  const Case cases[] = {{50, 75, -1},  {250, 75, -1},  {100, 50, -1},  {100, 100, -1}, {51, 75, 0},
                        {100, 102, -1}, {100, 106, 1}, {301, 271, 9},  {749, 319, 14}, {275, 75, -1},
                        {600, 320, -1}, {749, 51, 10}, {499, 209, 7}};
  for (const Case& c : cases) {
    mouseX = c.x;
    mouseY = c.y;
    mouseDown = false;
    bool clicked = true;
    EXPECT_EQ(HitRecipeCell(clicked), c.cell) << "pointer (" << c.x << ", " << c.y << ")";
    EXPECT_FALSE(clicked);
  }
  // A click is consumed over any cell, buyable or not, and left alone elsewhere.
  mouseX = 301;
  mouseY = 271;
  mouseDown = true;
  bool clicked = false;
  EXPECT_EQ(HitRecipeCell(clicked), 9);
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(mouseDown);
  mouseX = 100;
  mouseY = 102;
  mouseDown = true;
  EXPECT_EQ(HitRecipeCell(clicked), -1);
  EXPECT_FALSE(clicked);
  EXPECT_TRUE(mouseDown);
}

TEST_F(CraftScreenTest, BuyableRowHighlightsOnlyUnderThePointerAndInsideItsEdges) {
  Frame(51, 75, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(0), kHighlight));
  EXPECT_TRUE(PixelIs(BoxSpotX(1), BoxSpotY(0), kGrey));
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(1), kGrey));
  // Box pixels 50..249 x 50..99; the gap row 100..104 is clear.
  EXPECT_TRUE(PixelIs(50, 50, kHighlight));
  EXPECT_TRUE(PixelIs(249, 99, kHighlight));
  EXPECT_TRUE(PixelIs(49, 75, kClear));
  EXPECT_TRUE(PixelIs(250, 75, kClear));
  EXPECT_TRUE(PixelIs(150, 102, kClear));
  EXPECT_TRUE(PixelIs(150, 105, kGrey));

  Frame(50, 75, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(0), kGrey));
  Frame(100, 106, false);  // row 1 is waiting: grey under the pointer
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(1), kGrey));
  Frame(301, 271, false);  // Power row 4
  EXPECT_TRUE(PixelIs(BoxSpotX(1), BoxSpotY(4), kGrey));
  Frame(749, 51, false);  // Range row 0
  EXPECT_TRUE(PixelIs(BoxSpotX(2), BoxSpotY(0), kHighlight));
}

TEST_F(CraftScreenTest, SpeedRowOneShowsThreeIconsPackedFromTheLeft) {
  Frame(0, 0, false);
  const int x = 50, y = 105;
  // Slots 0, 2 and 3 cost 3, 2 and 4; slot 1 costs nothing and leaves no gap.
  const int slots[3] = {0, 2, 3};
  const char digits[3] = {'3', '2', '4'};
  for (int n = 0; n < 3; ++n) {
    SCOPED_TRACE(::testing::Message() << "icon " << n);
    int left = x + 5 + 30 * n;
    const float* tint = tileColours[slots[n] + Trunk];
    // Icon pixels left..left+24 x y+5..y+29, below the count's glyph rows; the
    // black band along its top (y+5..y+10) shows it upright.
    EXPECT_TRUE(PixelIs(left, y + 27, FromFloat(tint)));
    EXPECT_TRUE(PixelIs(left + 24, y + 27, Modulated(tint, PictureGrey(slots[n]))));
    EXPECT_TRUE(PixelIs(left + 24, y + 6, kBlack));
    EXPECT_TRUE(PixelIs(left + 5, y + 29, FromFloat(tint)));
    EXPECT_TRUE(PixelIs(left - 1, y + 27, kGrey));
    EXPECT_TRUE(PixelIs(left + 25, y + 27, kGrey));
    EXPECT_TRUE(PixelIs(left + 5, y + 30, kGrey));
    EXPECT_TRUE(PixelIs(left + 5, y + 4, kGrey));
    // The count stands on y + 20 at the icon's left edge: lit on the icon, while
    // its top row (y + 4) lies outside the icon and is covered by the box.
    int lit = left + GlyphColumn(digits[n]);
    EXPECT_TRUE(PixelIs(lit, y + 10, kWhite));
    EXPECT_TRUE(PixelIs(lit, y + 4, kGrey));
  }
  EXPECT_TRUE(PixelIs(x + 5 + 30 * 3 + 5, y + 20, kGrey)) << "no fourth icon";
}

TEST_F(CraftScreenTest, PurchaseShowsInTheInventoryBarOfTheSameFrame) {
  inventory[0] = 5;
  inventory[1] = 2;
  Frame(100, 75, true);
  EXPECT_EQ(speedBonus, 1);
  EXPECT_EQ(inventory[0], 0);
  EXPECT_EQ(inventory[1], 0);
  EXPECT_FALSE(recipes[LadderSpeed][0].available);
  EXPECT_TRUE(recipes[LadderSpeed][1].available);
  EXPECT_FALSE(mouseDown);
  // Drawn highlighted before the purchase; the bar already shows "0" not "5", "0" not "2".
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(0), kHighlight));
  EXPECT_TRUE(PixelIs(10 + GlyphColumn('0'), 590, kWhite));
  EXPECT_TRUE(PixelIs(10 + GlyphColumn('5'), 590, FromFloat(tileColours[Trunk])));
  EXPECT_TRUE(PixelIs(60 + GlyphColumn('0'), 590, kWhite));
  EXPECT_TRUE(PixelIs(60 + GlyphColumn('2'), 590, FromFloat(tileColours[Ground])));

  // From the next frame the bought row is grey under the pointer.
  Frame(100, 75, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(0), kGrey));
  EXPECT_EQ(speedBonus, 1);
}

TEST_F(CraftScreenTest, UnaffordableClickIsConsumedAndChangesNothing) {
  inventory[0] = 5;
  inventory[1] = 1;
  Frame(100, 75, true);
  EXPECT_FALSE(mouseDown);
  EXPECT_EQ(speedBonus, 0);
  EXPECT_EQ(inventory[0], 5);
  EXPECT_EQ(inventory[1], 1);
  EXPECT_TRUE(recipes[LadderSpeed][0].available);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(0), kHighlight));
  EXPECT_TRUE(PixelIs(10 + GlyphColumn('5'), 590, kWhite));
  EXPECT_TRUE(PixelIs(60 + GlyphColumn('1'), 590, kWhite));
}

TEST_F(CraftScreenTest, PressHeldOverAGapBuysOnTheFirstFrameOverTheRow) {
  inventory[0] = 4;
  inventory[1] = 3;
  Frame(400, 102, true);  // gap under Power row 0
  EXPECT_TRUE(mouseDown);
  EXPECT_EQ(powerBonus, 0);
  Frame(400, 75, true);
  EXPECT_EQ(powerBonus, 1);
  EXPECT_EQ(inventory[0], 0);
  EXPECT_EQ(inventory[1], 1);
}

TEST_F(CraftScreenTest, AfterANewSetupRowsZeroAndTwoOfABoughtLadderBothHighlight) {
  inventory[0] = 8;
  inventory[1] = 2;
  inventory[2] = 2;
  inventory[3] = 4;
  Frame(100, 75, true);   // Speed row 0
  Frame(100, 130, true);  // Speed row 1
  ASSERT_EQ(speedBonus, 2);
  ASSERT_FALSE(recipes[LadderSpeed][1].available);

  Reopen();
  EXPECT_EQ(speedBonus, 0);
  EXPECT_EQ(screen, ScreenCraft) << "the screen carries over";
  EXPECT_EQ(inventory[0], 0);
  Frame(100, 75, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(0), kHighlight));
  Frame(100, 130, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(1), kGrey));
  Frame(100, 185, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(0), BoxSpotY(2), kHighlight));
  Frame(400, 185, false);
  EXPECT_TRUE(PixelIs(BoxSpotX(1), BoxSpotY(2), kGrey));
}

TEST_F(CraftScreenTest, TitlesBarWithoutBottomStripAndTheBackButton) {
  Frame(0, 0, false);
  // Titles stand on y 40.
  EXPECT_TRUE(PixelIs(120 + GlyphColumn('S'), 30, kWhite));
  EXPECT_TRUE(PixelIs(360 + GlyphColumn('P'), 30, kWhite));
  EXPECT_TRUE(PixelIs(610 + GlyphColumn('R'), 30, kWhite));
  EXPECT_TRUE(PixelIs(120 + GlyphColumn('S') + 1, 30, kClear));
  // No bottom bar: the clear colour around the slot pictures and the button.
  EXPECT_TRUE(PixelIs(1, 575, kClear));
  EXPECT_TRUE(PixelIs(51, 575, kClear));
  EXPECT_TRUE(PixelIs(75, 551, kClear));
  EXPECT_TRUE(PixelIs(400, 575, kClear));
  EXPECT_TRUE(PixelIs(554, 575, kClear));
  EXPECT_TRUE(PixelIs(700, 598, kClear));
  EXPECT_TRUE(PixelIs(3, 575, FromFloat(tileColours[Trunk])));
  // Outside its picture the count is not covered on this screen.
  EXPECT_TRUE(PixelIs(10 + GlyphColumn('0'), 598, kWhite));
  EXPECT_TRUE(PixelIs(555, 555, kButtonIdle));
  EXPECT_TRUE(PixelIs(794, 594, kButtonIdle));
  EXPECT_TRUE(PixelIs(795, 575, kClear));
  EXPECT_TRUE(PixelIs(560 + GlyphColumn('b'), 570, kWhite));
}

TEST_F(CraftScreenTest, BackInGameReturnsToPlayAndEscIsIgnored) {
  keys[VK_ESCAPE] = true;
  Frame(556, 556, false);
  EXPECT_TRUE(PixelIs(700, 575, kButtonHover));
  EXPECT_EQ(screen, ScreenCraft);
  EXPECT_TRUE(keys[VK_ESCAPE]);
  Frame(795, 575, true);
  EXPECT_EQ(screen, ScreenCraft);
  EXPECT_TRUE(mouseDown);
  Frame(794, 594, true);
  EXPECT_EQ(screen, ScreenPlay);
  EXPECT_FALSE(mouseDown);
}

}  // namespace
