// Renders the menu texts, the win message and the six sprite pictures, tinted as the game
// tints them, at the sizes the screens use, into a 24-bit BMP for a look at the art.
//
//   quarn-artpreview DATA_DIR OUT.bmp
#include "assets/FontUnit.h"
#include "assets/TextureLists.h"
#include "platform/Offscreen.h"
#include "platform/OpenGL.h"
#include "platform/RenderWindow.h"
#include "screens/ScreenParts.h"
#include "world/GameState.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

void Rect(int left, int top, int right, int bottom) {
  glDisable(GL_DEPTH_TEST);
  glBegin(GL_QUADS);
  glVertex2i(left, top);
  glVertex2i(left, bottom);
  glVertex2i(right, bottom);
  glVertex2i(right, top);
  glEnd();
}

void Picture(int k, int left, int top, int right, int bottom) {
  glDisable(GL_DEPTH_TEST);
  glCallList(spriteTextureList);
  glColor3fv(tileColours[k + Trunk]);
  glEnable(GL_TEXTURE_2D);
  DrawSpritePicture(left, top, right, bottom, k);
  glDisable(GL_TEXTURE_2D);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR OUT.bmp\n", argv[0]);
    return 2;
  }
  const std::string out = argv[2][0] == '/' ? argv[2] : std::string(getcwd(nullptr, 0)) + "/" + argv[2];
  char error[256];
  if (!CreateOffscreenContext(800, 600, OffscreenDesktopGl, error, sizeof error)) {
    std::fprintf(stderr, "no OpenGL context: %s\n", error);
    return 1;
  }
  if (chdir(argv[1]) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  ResizeView(800, 600);

  glClearColor(0.0f, 0.5f, 0.0f, 1.0f);
  CreateTextureLists();
  SetupFont();
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // The menu.
  glColor3f(0.0f, 0.9f, 0.0f);
  Rect(300, 150, 500, 250);
  DrawTextAt(370, 200, "game");
  glColor3f(0.0f, 0.0f, 1.0f);
  Rect(300, 300, 500, 400);
  DrawTextAt(370, 350, "exit");

  // Tiles, three by two of each kind, with the win message over them.
  for (int k = 0; k < 6; ++k)
    for (int column = 0; column < 3; ++column)
      for (int row = 0; row < 2; ++row) {
        const int left = 20 + k * 125 + column * 40;
        const int top = 420 + row * 30;
        Picture(k, left, top, left + 40, top + 30);
      }
  DrawTextAt(300, 445, "You Win! use Esc to exit to menu");

  // Recipe cost pictures.
  for (int k = 0; k < 6; ++k) Picture(k, 690 + 30 * (k % 3), 120 + 30 * (k / 3), 715 + 30 * (k % 3), 145 + 30 * (k / 3));

  // The inventory bar, then its pictures with their counts and the craft button.
  glColor3f(0.7f, 0.1f, 0.4f);
  Rect(0, 550, 800, 600);
  glColor3f(1.0f, 0.1f, 0.1f);
  Rect(555, 555, 795, 595);
  DrawTextAt(560, 580, "craft");
  const char* counts[6] = {"0", "7", "40", "-15", "123", "9"};
  for (int k = 0; k < 6; ++k) {
    Picture(k, 50 * k + 3, 553, 50 * k + 47, 597);
    DrawTextAt(50 * k + 10, 600, counts[k]);
  }
  DrawTextAt(20, 40, "!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNO");
  DrawTextAt(20, 64, "PQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~");
  DrawTextAt(20, 88, "Speed Power Range back in game \x01\x80\xff");

  bool written = WriteViewBmp(out.c_str(), 800, 600);
  FreeGlyphLists();
  DestroyOffscreenContext();
  if (!written) {
    std::fprintf(stderr, "could not write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
