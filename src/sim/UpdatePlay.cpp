#include "sim/UpdatePlay.h"

#include "platform/InputState.h"
#include "world/GameState.h"
#include "world/TileRules.h"

namespace {

// Tunnels are relit only near the surface; deeper ones keep whatever they became.
constexpr int32_t SettleTopRow = 3;
constexpr int32_t SettleBottomRow = 16;

// Lighting in place, left to right and top to bottom, so a tunnel lit a moment
// ago already lights the cells below it and to its right in this same pass.
void SettleTunnels() {
  settleFirst = playerColumn - 2;
  if (settleFirst < 0) settleFirst = 0;
  settleLast = playerColumn + 2;
  if (settleLast > WorldColumns - 1) settleLast = WorldColumns - 1;
  for (int32_t c = settleFirst; c <= settleLast; ++c) {
    for (int32_t r = SettleTopRow; r <= SettleBottomRow; ++r) {
      TileType& cell = World[c][r];
      if (cell == DarkTunnel && IsOpen(c, r - 1)) cell = LitTunnel;
      if (cell == DarkTunnel && (IsOpen(c - 1, r) || IsOpen(c + 1, r)) &&
          (IsOpen(c - 1, r - 1) || IsOpen(c + 1, r - 1)))
        cell = LitTunnel;
      // A lit shaft that reaches the sky becomes sky itself.
      if (cell == LitTunnel && TileAt(c, r - 1) == Sky) cell = Sky;
    }
  }
}

void Dig() {
  if (CanDig(targetColumn, targetRow)) {
    TileType tile = TileAt(targetColumn, targetRow);
    int32_t cost = int32_t(tile) * (30 - powerBonus);
    if (cost < digTicks) {
      digTicks = 0;
      CollectTile(tile);  // credited before the cell turns into a tunnel
      World[targetColumn][targetRow] = IsOpen(targetColumn, targetRow - 1) ? LitTunnel : DarkTunnel;
    } else {
      digTicks += 1;
    }
  }
  // Read after the dig: on the completing frame this divides by zero on purpose
  // and the progress fan gets +inf (NaN over a Sky target).
  float weight = float(int32_t(TileAt(targetColumn, targetRow)) * (30 - powerBonus));
  digFraction = weight / float(digTicks);
}

}  // namespace

void UpdatePlay() {
  playerColumn = playerX / TileWidth;
  playerRow = playerY / TileHeight;

  if (keys[VK_ESCAPE]) {
    keys[VK_ESCAPE] = false;
    screen = ScreenMenu;  // the rest of this frame still runs and is drawn
  }

  // The probes look 10 px ahead to the right but 15 px to the left.
  if (keys[VK_RIGHT]) {
    if (IsPassable((playerX + 10 + speedBonus) / TileWidth, playerRow)) playerX += 5 + speedBonus;
    if (playerX > 39995) playerX = 39995;
  }
  if (keys[VK_LEFT]) {
    if (IsPassable((playerX - 15 - speedBonus) / TileWidth, playerRow)) playerX -= 5 + speedBonus;
    if (playerX < 5) playerX = 5;
  }

  // Down pins the player for this frame: no vertical move, and Up may jump again.
  if (keys[VK_DOWN]) airborne = false;

  if (keys[VK_UP]) {
    if (IsPassable(playerColumn, (playerY - 16) / TileHeight) && !airborne) {
      velocityY = -11;
      airborne = true;
    }
    if (playerY < 0) playerY = 0;
  }

  if (airborne && IsPassable(playerColumn, (playerY + velocityY) / TileHeight)) playerY += velocityY;

  if (IsFallThrough(playerColumn, (playerY + 15) / TileHeight)) {
    airborne = true;
    if (velocityY < 5) velocityY += 1;
  } else {
    airborne = false;
    velocityY = 0;
  }

  if (playerY > 735) {
    airborne = false;
    playerY = 735;
  }

  // The view lags behind the player's depth by 10 px a frame.
  if (playerY > 350) {
    cameraLift += 10;
    if (cameraLift > 200) cameraLift = 200;
  } else {
    cameraLift -= 10;
    if (cameraLift < 0) cameraLift = 0;
  }

  targetColumn = (playerX + mouseX - 400) / TileWidth;
  targetRow = (mouseY + cameraLift) / TileHeight;

  // The button is read as held; consuming the click is the screens' business.
  if (mouseDown) {
    Dig();
  } else {
    digTicks = 0;
    digFraction = 0.0f;
  }

  SettleTunnels();

  drawFirst = playerColumn - 10;
  if (drawFirst < 0) drawFirst = 0;
  drawLast = playerColumn + 10;
  if (drawLast > WorldColumns - 1) drawLast = WorldColumns - 1;
}
