#include "platform/web/PageFullScreen.h"

PageFullScreen pageFullScreen = {false, false};

bool OpenInFullScreen(bool loopFlag) { return pageFullScreen.turnAround ? !loopFlag : loopFlag; }

void NoteFullScreenAsked() { pageFullScreen.entered = true; }

void NoteFullScreenGivenUp() { pageFullScreen.entered = false; }

void NoteBrowserFullScreen(bool fullScreenNow) {
  // Only a leave the game did not ask for turns the next F1 around.
  if (fullScreenNow || !pageFullScreen.entered) return;
  pageFullScreen.entered = false;
  pageFullScreen.turnAround = !pageFullScreen.turnAround;
}
