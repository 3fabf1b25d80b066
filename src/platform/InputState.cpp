#include "platform/InputState.h"

#include <cstring>

int32_t mouseX = 0;
int32_t mouseY = 0;
bool mouseDown = false;
bool done = false;
bool active = false;
bool keys[256] = {};
QuickPresses quickPresses = {};

void ApplyWaitingReleases() {
  QuickPresses& q = quickPresses;
  if (q.buttonReleaseWaiting) mouseDown = false;
  q.buttonUnseen = false;
  q.buttonReleaseWaiting = false;
  for (int k = 0; k < 256; ++k) {
    if (q.keyReleaseWaiting[k]) keys[k] = false;
    q.keyUnseen[k] = false;
    q.keyReleaseWaiting[k] = false;
  }
}

void EndInputFrame() { ApplyWaitingReleases(); }

void ResetInputState() {
  mouseX = 0;
  mouseY = 0;
  mouseDown = false;
  done = false;
  active = false;
  std::memset(keys, 0, sizeof keys);
  quickPresses = QuickPresses();
}
