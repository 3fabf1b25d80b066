#include "screens/Screens.h"

void DrawScreenFrame() {
  switch (screen) {
    case ScreenMenu: DrawMenu(); break;
    case ScreenPlay: PlayFrame(); break;
    case ScreenCraft: CraftFrame(); break;
    default: break;  // nothing else is ever written to screen
  }
}
