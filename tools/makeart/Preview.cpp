// Renders the menu texts, the win message and the six sprite pictures, tinted as the game
// tints them, at the sizes the screens use, into a 24-bit BMP for a look at the art.
//
//   quarn-artpreview DATA_DIR OUT.bmp
#include "assets/FontUnit.h"
#include "assets/TextureLists.h"
#include "platform/Offscreen.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const float kTints[6][3] = {{0.6f, 0.4f, 0.4f}, {0.6f, 0.3f, 0.3f}, {0.2f, 0.2f, 0.2f},
                            {0.8f, 0.7f, 0.1f}, {0.8f, 0.4f, 0.2f}, {0.8f, 0.8f, 0.8f}};

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
  glColor3fv(kTints[k]);
  glEnable(GL_TEXTURE_2D);
  const float s0 = float(k) / 6.0f;
  const float s1 = s0 + 1.0f / 6.0f;
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(s0, 0.0f);
  glVertex2i(left, top);
  glTexCoord2f(s0, 1.0f);
  glVertex2i(left, bottom);
  glTexCoord2f(s1, 0.0f);
  glVertex2i(right, top);
  glTexCoord2f(s1, 1.0f);
  glVertex2i(right, bottom);
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

bool WriteBmp(const char* path, int width, int height, const std::vector<uint8_t>& bgrBottomUp) {
  std::FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const uint32_t pixelBytes = uint32_t(bgrBottomUp.size());
  uint8_t header[54] = {'B', 'M'};
  auto put = [&](int offset, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) header[offset + i] = uint8_t(value >> (8 * i));
  };
  put(2, 54 + pixelBytes, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, uint32_t(width), 4);
  put(22, uint32_t(height), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, pixelBytes, 4);
  bool ok = std::fwrite(header, 1, 54, file) == 54 &&
            std::fwrite(bgrBottomUp.data(), 1, bgrBottomUp.size(), file) == bgrBottomUp.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR OUT.bmp\n", argv[0]);
    return 2;
  }
  const std::string out = argv[2][0] == '/' ? argv[2] : std::string(getcwd(nullptr, 0)) + "/" + argv[2];
  char error[256];
  if (!CreateOffscreenContext(800, 600, error, sizeof error)) {
    std::fprintf(stderr, "no OpenGL context: %s\n", error);
    return 1;
  }
  if (chdir(argv[1]) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  glViewport(0, 0, 800, 600);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 800, 600, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

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

  std::vector<uint8_t> pixels(size_t(800) * 600 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 800, 600, GL_BGR, GL_UNSIGNED_BYTE, pixels.data());
  FreeGlyphLists();
  DestroyOffscreenContext();
  if (!WriteBmp(out.c_str(), 800, 600, pixels)) {
    std::fprintf(stderr, "could not write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
