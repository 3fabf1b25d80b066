// Where a drawn frame's time goes on this machine: the whole play and craft
// frames, the same without tiles or without texture re-uploads, one re-upload
// of each image, bare per-tile primitives, and the floor (clear plus one quad over the view). Each
// iteration ends with glFinish so the rasteriser's work is counted. Desktop OpenGL, or the GL 1.1
// layer with QUARN_OFFSCREEN_GL=layer.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "assets/TextureLists.h"
#include "platform/InputState.h"
#include "platform/Offscreen.h"
#include "platform/OpenGL.h"
#include "platform/RenderWindow.h"
#include "screens/Screens.h"
#include "world/GameState.h"
#include "world/Random.h"

namespace {

bool ready = false;

// One context for the whole run, set up from the game's own images.
void EnsureContext() {
  if (ready) return;
  if (chdir(QUARN_DATA_DIR) != 0) {
    std::fprintf(stderr, "cannot enter %s\n", QUARN_DATA_DIR);
    std::exit(1);
  }
  char error[256] = "";
  if (!CreateOffscreenContext(800, 600, OffscreenGlFromEnvironment(), error, sizeof error)) {
    std::fprintf(stderr, "no offscreen OpenGL context: %s\n", error);
    std::exit(1);
  }
  InitGameState();
  ResetInputState();
  SetFixedSeed(2);
  ResizeView(800, 600);
  SetupGame();
  DrawMenu();  // the first text turns the depth test on, as in the game
  ready = true;
}

// A play view with the player on the surface and 21 columns drawn.
void PlayView() {
  playerX = 20000;
  playerY = 285;
  cameraLift = 0;
  digFraction = 2.0f;
  drawFirst = 490;
  drawLast = 510;
  mouseX = 100;
  mouseY = 100;
  mouseDown = false;
}

// Points both texture lists at one empty list, so the frame runs without any
// re-upload (the texture keeps its last image); restores them when done.
struct NoUploads {
  uint32_t sprite = spriteTextureList, font = fontTextureList, empty = 0;
  NoUploads() {
    empty = glGenLists(1);
    glNewList(empty, GL_COMPILE);
    glEndList();
    spriteTextureList = fontTextureList = empty;
  }
  ~NoUploads() {
    spriteTextureList = sprite;
    fontTextureList = font;
    glDeleteLists(empty, 1);
  }
};

void BM_PlayScreen(benchmark::State& state) {
  EnsureContext();
  PlayView();
  for (auto _ : state) {
    DrawPlayScreen();
    glFinish();
  }
}
BENCHMARK(BM_PlayScreen)->Unit(benchmark::kMillisecond);

void BM_PlayScreenWithoutTiles(benchmark::State& state) {
  EnsureContext();
  PlayView();
  drawFirst = 1;
  drawLast = 0;
  for (auto _ : state) {
    DrawPlayScreen();
    glFinish();
  }
}
BENCHMARK(BM_PlayScreenWithoutTiles)->Unit(benchmark::kMillisecond);

void BM_PlayScreenWithoutUploads(benchmark::State& state) {
  EnsureContext();
  PlayView();
  NoUploads none;
  for (auto _ : state) {
    DrawPlayScreen();
    glFinish();
  }
}
BENCHMARK(BM_PlayScreenWithoutUploads)->Unit(benchmark::kMillisecond);

void BM_CraftFrame(benchmark::State& state) {
  EnsureContext();
  mouseX = 100;
  mouseY = 75;
  mouseDown = false;
  for (auto _ : state) {
    CraftFrame();
    glFinish();
  }
}
BENCHMARK(BM_CraftFrame)->Unit(benchmark::kMillisecond);

void BM_CraftFrameWithoutUploads(benchmark::State& state) {
  EnsureContext();
  mouseX = 100;
  mouseY = 75;
  mouseDown = false;
  NoUploads none;
  for (auto _ : state) {
    CraftFrame();
    glFinish();
  }
}
BENCHMARK(BM_CraftFrameWithoutUploads)->Unit(benchmark::kMillisecond);

void BM_MenuFrame(benchmark::State& state) {
  EnsureContext();
  mouseX = 0;
  mouseY = 0;
  for (auto _ : state) {
    DrawMenu();
    glFinish();
  }
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMillisecond);

// One call of a texture list: the whole image goes into the texture again.
void BM_SpriteListCall(benchmark::State& state) {
  EnsureContext();
  for (auto _ : state) {
    glCallList(spriteTextureList);
    glFinish();
  }
}
BENCHMARK(BM_SpriteListCall)->Unit(benchmark::kMicrosecond);

void BM_FontListCall(benchmark::State& state) {
  EnsureContext();
  for (auto _ : state) {
    glCallList(fontTextureList);
    glFinish();
  }
}
BENCHMARK(BM_FontListCall)->Unit(benchmark::kMicrosecond);

// 525 separate 40 x 30 strips (21 columns of 25 rows) with a colour each and,
// for the argument 1, texturing switched on around every strip.
void BM_TileStrips(benchmark::State& state) {
  EnsureContext();
  const bool textured = state.range(0) != 0;
  glCallList(spriteTextureList);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(-19600.0f, 0.0f, 0.0f);
    for (int c = 490; c <= 510; ++c) {
      for (int r = 0; r < 25; ++r) {
        glColor3fv(tileColours[(c + r) % 12]);
        if (textured) glEnable(GL_TEXTURE_2D);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2i(40 * c, 30 * r);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2i(40 * c, 30 * r + 30);
        glTexCoord2f(1.0f / 6.0f, 0.0f);
        glVertex2i(40 * c + 40, 30 * r);
        glTexCoord2f(1.0f / 6.0f, 1.0f);
        glVertex2i(40 * c + 40, 30 * r + 30);
        glEnd();
        if (textured) glDisable(GL_TEXTURE_2D);
      }
    }
    glFinish();
  }
}
BENCHMARK(BM_TileStrips)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor: clear and one quad over the whole view.
void BM_Floor(benchmark::State& state) {
  EnsureContext();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor3f(0.5f, 0.5f, 0.5f);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(0, 600);
    glVertex2i(800, 600);
    glVertex2i(800, 0);
    glEnd();
    glFinish();
  }
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond);

}  // namespace
