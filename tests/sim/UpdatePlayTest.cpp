#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "SimTestWorld.h"
#include "sim/UpdatePlay.h"

namespace {

// Grass surface at row 10 (world y 300), the player standing on it in column 10.
// The player settles at 289: the first y whose support point (y + 15) reaches row 10.
constexpr int32_t SurfaceRow = 10;
constexpr int32_t StandY = 289;

void StandOnGrass() {
  FreshGame();
  FillRow(SurfaceRow, Grass);
  FillRowsFrom(SurfaceRow + 1, Ground);
  playerX = CellX(10);
  playerY = StandY;
}

void Frames(int n) {
  for (int i = 0; i < n; ++i) UpdatePlay();
}

}  // namespace

// ---------------------------------------------------------------- movement

TEST(UpdatePlayMotion, StandingOnGrassStaysPut) {
  StandOnGrass();
  Frames(5);
  EXPECT_EQ(playerY, StandY);
  EXPECT_FALSE(airborne);
  EXPECT_EQ(velocityY, 0);
}

TEST(UpdatePlayMotion, JumpArcRisesSixtySixPausesThenFalls) {
  StandOnGrass();
  keys[VK_UP] = true;
  UpdatePlay();
  keys[VK_UP] = false;
  std::vector<int32_t> ys{playerY};
  std::vector<int32_t> vs{velocityY};
  while (airborne && ys.size() < 100) {
    UpdatePlay();
    ys.push_back(playerY);
    vs.push_back(velocityY);
  }
  ASSERT_FALSE(airborne);
  // Rise 11, 10, ..., 1.
  int32_t y = StandY;
  for (int k = 0; k < 11; ++k) {
    y -= 11 - k;
    EXPECT_EQ(ys[k], y) << "frame " << k + 1;
  }
  EXPECT_EQ(ys[10], StandY - 66);
  EXPECT_EQ(vs[10], 0);
  // One frame at velocity 0, then 1, 2, 3, 4 and 5 px a frame.
  EXPECT_EQ(ys[11], StandY - 66);
  const int fall[] = {1, 2, 3, 4, 5, 5, 5};
  for (int k = 0; k < 7; ++k) EXPECT_EQ(ys[12 + k] - ys[11 + k], fall[k]) << "fall frame " << k;
  // Lands where the support point first meets the Grass: 288 + 15 is in row 10.
  EXPECT_EQ(ys.back(), 288);
  EXPECT_EQ(velocityY, 0);
}

TEST(UpdatePlayMotion, JumpLandsOnLeavesAndTrunk) {
  for (TileType perch : {Leaves, Trunk}) {
    StandOnGrass();
    World[10][SurfaceRow - 2] = perch;  // a cell the jump passes through and then stands on
    keys[VK_UP] = true;
    UpdatePlay();
    keys[VK_UP] = false;
    Frames(40);
    EXPECT_FALSE(airborne) << int(perch);
    EXPECT_EQ((playerY + 15) / 30, SurfaceRow - 2) << int(perch);
  }
}

TEST(UpdatePlayMotion, UpStartsNoJumpInTheAirOrUnderACeiling) {
  StandOnGrass();
  World[10][(StandY - 16) / 30] = Ground;  // headroom cell
  keys[VK_UP] = true;
  UpdatePlay();
  EXPECT_FALSE(airborne);
  EXPECT_EQ(playerY, StandY);

  FreshGame();
  playerX = CellX(10);
  playerY = 100;
  airborne = true;
  velocityY = 3;
  keys[VK_UP] = true;
  UpdatePlay();
  EXPECT_EQ(playerY, 103);  // still falling, no jump
  EXPECT_EQ(velocityY, 4);
}

TEST(UpdatePlayMotion, DownHangsInTheAirThenFallsAtFive) {
  FreshGame();
  playerX = CellX(10);
  playerY = 100;
  airborne = true;
  velocityY = 0;
  keys[VK_DOWN] = true;
  for (int k = 1; k <= 8; ++k) {
    UpdatePlay();
    EXPECT_EQ(playerY, 100) << k;
    EXPECT_EQ(velocityY, k < 5 ? k : 5) << k;
  }
  keys[VK_DOWN] = false;
  UpdatePlay();
  EXPECT_EQ(playerY, 105);
}

TEST(UpdatePlayMotion, UpAndDownHoverAtMinusElevenAtTheTop) {
  FreshGame();
  playerX = CellX(10);
  playerY = 50;
  keys[VK_UP] = keys[VK_DOWN] = true;
  const int32_t expected[] = {39, 28, 17, 6, -5, -11, -11, -11, -11};
  for (int32_t y : expected) {
    UpdatePlay();
    EXPECT_EQ(playerY, y);
  }
  UpdatePlay();
  EXPECT_EQ(playerRow, 0);  // -11 / 30 truncates to row 0
}

TEST(UpdatePlayMotion, FloorClampsAt735AndGroundsThatFrame) {
  FreshGame();  // nothing under the player: it falls out of the grid
  playerX = CellX(10);
  playerY = 700;
  airborne = true;
  int clamps = 0;
  for (int k = 0; k < 40; ++k) {
    bool overshoots = airborne && playerY + velocityY > 735;
    UpdatePlay();
    ASSERT_LE(playerY, 735);
    if (overshoots) {
      EXPECT_EQ(playerY, 735);
      ++clamps;
      EXPECT_FALSE(airborne) << k;
    }
  }
  EXPECT_GT(clamps, 5);
  EXPECT_EQ(playerY, 735);
}

TEST(UpdatePlayMotion, WalkStepAndAsymmetricProbes) {
  StandOnGrass();
  World[11][9] = Ground;  // walls beside the player's row 9
  World[8][9] = Ground;
  playerX = 420;
  keys[VK_RIGHT] = true;
  Frames(10);
  EXPECT_EQ(playerX, 430);  // probe x + 10 reaches column 11 at 430
  keys[VK_RIGHT] = false;
  keys[VK_LEFT] = true;
  speedBonus = 2;
  Frames(20);
  // Steps of 7; stops once x - 17 would fall into column 8 (x < 377).
  EXPECT_EQ(playerX, 374);
  EXPECT_EQ((playerX - 15 - speedBonus) / 40, 8);
}

TEST(UpdatePlayMotion, WalksThroughTreesAndTunnelsButNotSolids) {
  for (TileType tile : {Sky, Leaves, Trunk, LitTunnel, DarkTunnel}) {
    StandOnGrass();
    World[11][9] = tile;
    keys[VK_RIGHT] = true;
    Frames(10);
    EXPECT_EQ(playerX, CellX(10) + 50) << int(tile);
  }
  for (TileType tile : {Grass, Ground, DarkOre, YellowOre, OrangeOre, PaleOre, Prize}) {
    StandOnGrass();
    World[11][9] = tile;
    keys[VK_RIGHT] = true;
    Frames(10);
    EXPECT_EQ(playerX, 430) << int(tile);
  }
}

TEST(UpdatePlayMotion, RightAndLeftTogetherEachNeedTheirOwnProbe) {
  StandOnGrass();
  keys[VK_RIGHT] = keys[VK_LEFT] = true;
  UpdatePlay();
  EXPECT_EQ(playerX, CellX(10));
  World[11][9] = Ground;  // right blocked from 430 on, left still free
  playerX = 430;
  UpdatePlay();
  EXPECT_EQ(playerX, 425);
}

TEST(UpdatePlayMotion, ClampsAtTheWorldEdges) {
  StandOnGrass();
  playerX = 39990;
  keys[VK_RIGHT] = true;
  UpdatePlay();
  EXPECT_EQ(playerX, 39995);
  UpdatePlay();  // the probe beyond column 999 reads Sky; the clamp holds
  EXPECT_EQ(playerX, 39995);

  keys[VK_RIGHT] = false;
  keys[VK_LEFT] = true;
  playerX = 5;
  UpdatePlay();
  EXPECT_EQ(playerX, 5);

  // x 10 probes -5, which truncates into column 0: a solid column 0 blocks
  // the step (rounding down would have read the open column -1).
  World[0][9] = Ground;
  playerX = 10;
  UpdatePlay();
  EXPECT_EQ(playerX, 10);
  World[0][9] = Sky;
  UpdatePlay();
  EXPECT_EQ(playerX, 5);
}

TEST(UpdatePlayMotion, EscapeGoesToMenuAndTheFrameRunsOn) {
  StandOnGrass();
  keys[VK_ESCAPE] = true;
  keys[VK_RIGHT] = true;
  UpdatePlay();
  EXPECT_EQ(screen, ScreenMenu);
  EXPECT_FALSE(keys[VK_ESCAPE]);
  EXPECT_EQ(playerX, CellX(10) + 5);
  EXPECT_EQ(drawLast, 20);
}

// ---------------------------------------------------------------- camera

TEST(UpdatePlayCamera, RampsTenPerFrameBothWays) {
  FreshGame();
  FillRow(24, Ground);
  playerX = CellX(10);
  playerY = 705;  // standing on row 24
  for (int k = 1; k <= 22; ++k) {
    UpdatePlay();
    EXPECT_EQ(cameraLift, k < 20 ? 10 * k : 200) << k;
  }
  FillRow(12, Ground);
  playerY = 350;  // standing on row 12; exactly 350 counts as high
  for (int k = 1; k <= 22; ++k) {
    UpdatePlay();
    EXPECT_EQ(playerY, 350);
    EXPECT_EQ(cameraLift, k < 20 ? 200 - 10 * k : 0) << k;
  }
}

TEST(UpdatePlayCamera, TargetUsesThisFramesCamera) {
  FreshGame();
  FillRow(24, Ground);
  playerX = CellX(10);
  playerY = 705;
  cameraLift = 50;
  mouseX = 400;
  mouseY = 25;
  UpdatePlay();
  EXPECT_EQ(cameraLift, 60);
  EXPECT_EQ(targetRow, (25 + 60) / 30);
  EXPECT_EQ(targetColumn, 10);
}

// ---------------------------------------------------------------- digging

namespace {

// Button held on the cell under the player's feet, starting from digTicks 0.
// Returns the frame on which the cell stopped being `tile`, or -1.
int FramesToDig(TileType tile, int limit) {
  StandOnGrass();
  World[10][SurfaceRow] = tile;
  PointAt(10, SurfaceRow);
  digTicks = 0;
  mouseDown = true;
  for (int frame = 1; frame <= limit; ++frame) {
    UpdatePlay();
    if (World[10][SurfaceRow] != tile) return frame;
  }
  return -1;
}

}  // namespace

TEST(UpdatePlayDig, CompletesOnFrameCostPlusTwo) {
  EXPECT_EQ(FramesToDig(Grass, 400), 32);
  EXPECT_EQ(inventory[1], 1);
  EXPECT_EQ(FramesToDig(Prize, 400), 332);
  EXPECT_TRUE(won);
  StandOnGrass();
  powerBonus = 5;
  World[10][SurfaceRow] = Prize;
  PointAt(10, SurfaceRow);
  digTicks = 0;
  mouseDown = true;
  int frame = 0;
  while (World[10][SurfaceRow] == Prize && frame < 400) {
    ++frame;
    UpdatePlay();
    EXPECT_EQ(won, World[10][SurfaceRow] != Prize);
  }
  EXPECT_EQ(frame, 277);
}

TEST(UpdatePlayDig, CompletedDigLeavesZeroTicksAndInfiniteFraction) {
  ASSERT_EQ(FramesToDig(Grass, 100), 32);
  EXPECT_EQ(digTicks, 0);
  EXPECT_TRUE(std::isinf(digFraction));
  EXPECT_GT(digFraction, 0.0f);
  // Counting restarts on the next frame; the numerator is now the new cell's.
  UpdatePlay();
  EXPECT_EQ(digTicks, 0);  // the player fell into the shaft; target is Sky now
  EXPECT_TRUE(std::isnan(digFraction));
}

TEST(UpdatePlayDig, ProgressFractionIsWeightOverTicks) {
  StandOnGrass();
  World[10][SurfaceRow] = Ground;
  PointAt(10, SurfaceRow);
  digTicks = 0;
  mouseDown = true;
  Frames(7);
  EXPECT_EQ(digTicks, 7);
  EXPECT_EQ(digFraction, float(120) / float(7));
}

TEST(UpdatePlayDig, SurfaceShaftBecomesSkyDeepTunnelsStayDark) {
  // Grass under Sky: lit at once and, within rows 3..16, turned into Sky.
  ASSERT_EQ(FramesToDig(Grass, 100), 32);
  EXPECT_EQ(World[10][SurfaceRow], Sky);

  // Deep enclosed cell: DarkTunnel; with an open cell above: LitTunnel.
  for (TileType above : {Ground, Leaves}) {
    FreshGame();
    FillAll(Ground);
    playerX = CellX(10);
    playerY = 19 * 30 + 15;  // standing inside row 19 of solid rock
    World[10][17] = above;
    World[10][18] = PaleOre;
    PointAt(10, 18);
    digTicks = 1000;  // carried over: completes on the first frame
    mouseDown = true;
    UpdatePlay();
    EXPECT_EQ(World[10][18], above == Ground ? DarkTunnel : LitTunnel);
    EXPECT_EQ(inventory[5], 1);
    EXPECT_EQ(digTicks, 0);
  }
}

TEST(UpdatePlayDig, TicksCarryOverBetweenTargetsAndResetOnRelease) {
  StandOnGrass();
  World[9][SurfaceRow] = Ground;
  World[11][SurfaceRow] = Grass;
  PointAt(9, SurfaceRow);
  digTicks = 0;
  mouseDown = true;
  Frames(50);
  EXPECT_EQ(digTicks, 50);
  // Grass costs 30: the ticks brought along finish it on the first frame there.
  PointAt(11, SurfaceRow);
  UpdatePlay();
  EXPECT_NE(World[11][SurfaceRow], Grass);
  EXPECT_EQ(digTicks, 0);
  PointAt(9, SurfaceRow);
  Frames(3);
  EXPECT_EQ(digTicks, 3);
  mouseDown = false;
  UpdatePlay();
  EXPECT_EQ(digTicks, 0);
  EXPECT_EQ(digFraction, 0.0f);
  EXPECT_EQ(World[9][SurfaceRow], Ground);
}

TEST(UpdatePlayDig, OutOfReachOrUndiggableLeavesTicksAlone) {
  StandOnGrass();
  PointAt(14, SurfaceRow);  // Grass, but four columns away
  digTicks = 6;
  mouseDown = true;
  UpdatePlay();
  EXPECT_EQ(digTicks, 6);
  EXPECT_EQ(digFraction, 30.0f / 6.0f);
  PointAt(10, SurfaceRow - 1);  // the Sky cell the player stands in
  UpdatePlay();
  EXPECT_EQ(digTicks, 6);
  EXPECT_EQ(digFraction, 0.0f);
  digTicks = 0;
  UpdatePlay();
  EXPECT_TRUE(std::isnan(digFraction));  // 0 / 0
  PointAt(14, SurfaceRow);
  UpdatePlay();
  EXPECT_TRUE(std::isinf(digFraction));  // 30 / 0
}

TEST(UpdatePlayDig, PointerLeftOfTheGrid) {
  StandOnGrass();
  FillAll(Ground);
  playerX = 5;
  playerY = StandY;
  mouseX = 0;
  mouseY = 300;
  mouseDown = true;
  digTicks = 4;
  UpdatePlay();
  EXPECT_EQ(targetColumn, -9);  // (5 - 400) / 40 truncates toward zero
  EXPECT_EQ(digTicks, 4);
  EXPECT_EQ(digFraction, 0.0f);
}

TEST(UpdatePlayDig, ReachUsesThePositionAfterWalking) {
  StandOnGrass();
  playerX = 439;  // column 10; one step right enters column 11
  World[12][9] = Ground;  // reachable from column 11 only
  mouseX = 400 + (12 * 40 + 5) - 444;
  mouseY = 9 * 30 + 5;
  keys[VK_RIGHT] = true;
  mouseDown = true;
  digTicks = 0;
  UpdatePlay();
  EXPECT_EQ(targetColumn, 12);
  EXPECT_EQ(digTicks, 1);
}

// ---------------------------------------------------------------- lighting and range

namespace {

void SolidWorldWithPlayerIn(int32_t column) {
  FreshGame();
  FillAll(Ground);
  playerX = CellX(column);
  playerY = 20 * 30 + 15;  // deep inside the rock, out of the way
}

}  // namespace

TEST(UpdatePlayLighting, RangesAreClampedToTheGrid) {
  SolidWorldWithPlayerIn(0);
  UpdatePlay();
  EXPECT_EQ(settleFirst, 0);
  EXPECT_EQ(settleLast, 2);
  EXPECT_EQ(drawFirst, 0);
  EXPECT_EQ(drawLast, 10);
  SolidWorldWithPlayerIn(5);
  UpdatePlay();
  EXPECT_EQ(drawFirst, 0);
  EXPECT_EQ(drawLast, 15);
  SolidWorldWithPlayerIn(999);
  UpdatePlay();
  EXPECT_EQ(settleFirst, 997);
  EXPECT_EQ(settleLast, 999);
  EXPECT_EQ(drawFirst, 989);
  EXPECT_EQ(drawLast, 999);
  SolidWorldWithPlayerIn(500);
  UpdatePlay();
  EXPECT_EQ(settleFirst, 498);
  EXPECT_EQ(settleLast, 502);
}

TEST(UpdatePlayLighting, OnlyNearbyColumnsAreRelit) {
  SolidWorldWithPlayerIn(500);
  for (int32_t c : {497, 498, 502, 503}) {
    World[c][9] = LitTunnel;
    World[c][10] = DarkTunnel;
  }
  UpdatePlay();
  EXPECT_EQ(World[497][10], DarkTunnel);
  EXPECT_EQ(World[498][10], LitTunnel);
  EXPECT_EQ(World[502][10], LitTunnel);
  EXPECT_EQ(World[503][10], DarkTunnel);
}

TEST(UpdatePlayLighting, ColumnsOutsideTheGridCountAsOpen) {
  // Enclosed except for the missing neighbour beyond the edge: side and diagonal
  // both read Sky there.
  for (int32_t edge : {0, 999}) {
    SolidWorldWithPlayerIn(edge);
    World[edge][10] = DarkTunnel;
    UpdatePlay();
    EXPECT_EQ(World[edge][10], LitTunnel) << edge;
  }
  SolidWorldWithPlayerIn(500);
  World[500][10] = DarkTunnel;
  UpdatePlay();
  EXPECT_EQ(World[500][10], DarkTunnel);
}

TEST(UpdatePlayLighting, SideAndDiagonalMustBothBeOpen) {
  SolidWorldWithPlayerIn(500);
  World[500][10] = DarkTunnel;
  World[499][10] = LitTunnel;  // side open, both diagonals above solid
  World[499][9] = DarkTunnel;  // (not open)
  UpdatePlay();
  EXPECT_EQ(World[500][10], DarkTunnel);
  World[501][9] = Trunk;  // diagonal on the other side
  UpdatePlay();
  EXPECT_EQ(World[500][10], LitTunnel);
}

TEST(UpdatePlayLighting, ChangesSpreadDownAndRightWithinOnePass) {
  // A staircase going down to the right lights up in one frame...
  SolidWorldWithPlayerIn(1);
  World[1][9] = LitTunnel;
  const int32_t stairs[][2] = {{1, 10}, {1, 11}, {2, 11}, {2, 12}, {3, 12}, {3, 13}};
  for (auto& cell : stairs) World[cell[0]][cell[1]] = DarkTunnel;
  UpdatePlay();
  for (auto& cell : stairs) EXPECT_EQ(World[cell[0]][cell[1]], LitTunnel) << cell[0] << "," << cell[1];

  // ...while its mirror image needs a frame per column.
  SolidWorldWithPlayerIn(1);
  World[3][9] = LitTunnel;
  const int32_t mirror[][2] = {{3, 10}, {3, 11}, {2, 11}, {2, 12}, {1, 12}, {1, 13}};
  for (auto& cell : mirror) World[cell[0]][cell[1]] = DarkTunnel;
  for (int frame = 1; frame <= 3; ++frame) {
    UpdatePlay();
    for (auto& cell : mirror) {
      bool lit = cell[0] >= 4 - frame;
      EXPECT_EQ(World[cell[0]][cell[1]], lit ? LitTunnel : DarkTunnel)
          << "frame " << frame << " cell " << cell[0] << "," << cell[1];
    }
  }
}

TEST(UpdatePlayLighting, RowsOutsideThreeToSixteenAreNeverTouched) {
  SolidWorldWithPlayerIn(500);
  World[500][16] = Sky;  // open above row 17
  World[500][17] = DarkTunnel;
  World[501][17] = LitTunnel;
  World[501][16] = Sky;
  World[499][2] = DarkTunnel;  // open above (row 1 Sky) but in row 2
  World[499][1] = Sky;
  World[502][5] = LitTunnel;  // lit under Sky within the rows: becomes Sky
  World[502][4] = Sky;
  UpdatePlay();
  EXPECT_EQ(World[500][17], DarkTunnel);
  EXPECT_EQ(World[501][17], LitTunnel);
  EXPECT_EQ(World[499][2], DarkTunnel);
  EXPECT_EQ(World[502][5], Sky);
  // Row 3 is the first one relit; a lit tunnel is never made dark again.
  World[501][3] = DarkTunnel;
  World[501][2] = Leaves;
  World[500][8] = LitTunnel;
  UpdatePlay();
  EXPECT_EQ(World[501][3], LitTunnel);
  EXPECT_EQ(World[500][8], LitTunnel);
}
