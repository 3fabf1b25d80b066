// Full screen in a page, which the browser may also leave by itself (its own
// Esc, the user): the game then goes on in the page, and the next F1 must go
// to full screen again although the loop's flag says the game is in it. The
// rule alone, without the browser, so that it is tested on every system.
#pragma once

struct PageFullScreen {
  bool entered;     // the page is in full screen because the game asked for it
  bool turnAround;  // the browser left it by itself an odd number of times
};
extern PageFullScreen pageFullScreen;

// Whether an open asked for `loopFlag` goes to full screen.
bool OpenInFullScreen(bool loopFlag);
// The open asked the browser for full screen.
void NoteFullScreenAsked();
// The game left full screen itself (a close), or the browser refused it.
void NoteFullScreenGivenUp();
// The browser says whether the page is in full screen now.
void NoteBrowserFullScreen(bool fullScreenNow);
