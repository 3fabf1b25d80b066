#include "platform/InputState.h"

#include <cstring>

int32_t mouseX = 0;
int32_t mouseY = 0;
bool mouseDown = false;
bool done = false;
bool active = false;
bool keys[256] = {};

void ResetInputState() {
  mouseX = 0;
  mouseY = 0;
  mouseDown = false;
  done = false;
  active = false;
  std::memset(keys, 0, sizeof keys);
}
