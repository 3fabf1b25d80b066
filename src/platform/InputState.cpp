#include "platform/InputState.h"

#include <cstring>

int32_t mouseX = 0;
int32_t mouseY = 0;
bool mouseDown = false;
bool done = false;
bool active = false;
bool keys[256] = {};
bool buttonPressUnseen = false;
bool buttonReleaseWaiting = false;
uint32_t inputFramesEnded = 0;

void EndInputFrame() {
  if (buttonReleaseWaiting) mouseDown = false;
  buttonPressUnseen = false;
  buttonReleaseWaiting = false;
  ++inputFramesEnded;
}

void ResetInputState() {
  mouseX = 0;
  mouseY = 0;
  mouseDown = false;
  done = false;
  active = false;
  std::memset(keys, 0, sizeof keys);
  buttonPressUnseen = false;
  buttonReleaseWaiting = false;
  inputFramesEnded = 0;
}
