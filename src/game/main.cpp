// The entry: start-up, then the main loop's turns until the loop ends. On the
// desktop the turns run back to back (the Linux pump sleeps within a pass while
// nothing is due); a browser page must not be blocked, so there the page runs
// one turn per display frame.
#include <cstdlib>

#include "game/MainLoop.h"
#include "game/SeedSetting.h"
#include "platform/MessageQueue.h"

int main() {
  StartPlatform();
  ApplySeedSetting(SeedSettingText());

  if (!StartMainLoop()) return 0;
#ifdef __EMSCRIPTEN__
  RunTurnsEachDisplayFrame(RunLoopTurn);
#else
  while (RunLoopTurn()) {
  }
#endif
  return 0;
}
