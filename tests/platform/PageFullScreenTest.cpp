// Full screen in a page that the browser can also leave by itself.
#include <gtest/gtest.h>

#include <string>

#include "platform/web/PageFullScreen.h"

// Steps: '1' is F1 (the close leaves full screen, the loop flips its flag, the
// open asks for its mode), 'E' the browser leaving full screen by itself, 'R'
// the browser refusing it late. Each F1 writes the mode its open asked for.
TEST(PageFullScreen, EveryF1AfterTheBrowserLeftFullScreenGoesBackToIt) {
  const struct {
    const char* steps;
    const char* opens;  // F: full screen, P: in the page
  } rows[] = {
      {"111", "FPF"},        // no browser in between: the loop's own flag
      {"1E1E1E1", "FFFF"},   // each time the browser left it, F1 goes back
      {"1E11", "FFP"},       // and once back, the next F1 leaves it again
      {"1R1", "FP"},         // refused: the flag stays, as on the desktop
  };
  for (const auto& r : rows) {
    pageFullScreen = PageFullScreen{false, false};
    bool flag = false;
    std::string opens;
    for (const char* step = r.steps; *step; ++step) {
      if (*step == 'E') {
        NoteBrowserFullScreen(false);
      } else if (*step == 'R') {
        NoteFullScreenGivenUp();
      } else {
        if (pageFullScreen.entered) {
          NoteFullScreenGivenUp();
          NoteBrowserFullScreen(false);  // the browser's notice of the game's own leave
        }
        flag = !flag;
        const bool full = OpenInFullScreen(flag);
        if (full) {
          NoteFullScreenAsked();
          NoteBrowserFullScreen(true);
        }
        opens += full ? 'F' : 'P';
      }
    }
    EXPECT_EQ(opens, r.opens) << r.steps;
  }
}
