#include "assets/FontUnit.h"

#include "assets/TextureLists.h"

#include "platform/OpenGL.h"

#include <cstring>

uint32_t fontBase = 0;

namespace {

constexpr int32_t kGlyphCount = 128;
// Characters without a glyph of their own (codes 0..31 and, as signed bytes, 128..255)
// draw glyph 96, the first cell of the otherwise unreachable row 6.
constexpr int32_t kStandInGlyph = 96;

bool HasGlyph(char ch) {
  const uint8_t code = uint8_t(ch);
  return code >= 32 && code <= 127;
}

}  // namespace

void BuildGlyphLists() {
  fontBase = glGenLists(kGlyphCount);
  for (int32_t r = 0; r < 8; ++r) {
    for (int32_t c = 0; c < 16; ++c) {
      const float left = float(c) * 0.0625f;
      const float right = float(c + 1) * 0.0625f;
      const float bottom = 1.0f - float(r + 1) * 0.125f;
      const float top = 1.0f - float(r) * 0.125f;
      glNewList(fontBase + uint32_t(16 * r + c), GL_COMPILE);
      glBegin(GL_QUADS);
      glTexCoord2f(left, bottom);
      glVertex2i(0, 0);
      glTexCoord2f(right, bottom);
      glVertex2i(16, 0);
      glTexCoord2f(right, top);
      glVertex2i(16, 16);
      glTexCoord2f(left, top);
      glVertex2i(0, 16);
      glEnd();
      glTranslated(12.0, 0.0, 0.0);
      glEndList();
    }
  }
}

void SetupFont() {
  BuildGlyphLists();
  RecordTextureList(fontTextureList, "font.bmp", true);
}

void DrawTextAt(int32_t x, int32_t y, const char* text) {
  if (!text || text[0] == '\0') return;

  glPushAttrib(GL_COLOR_BUFFER_BIT);
  glColor3f(1.0f, 1.0f, 1.0f);
  glBlendFunc(GL_SRC_COLOR, GL_ONE);
  glCallList(fontTextureList);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 800, 600, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslated(double(x), double(y), 0.0);
  glListBase(fontBase - 32);
  glScalef(1.0f, -1.0f, 1.0f);

  // Runs of characters with glyphs go to OpenGL in one call each (the whole text, for every
  // text the game draws); any other character gets the stand-in glyph so it can never call a
  // list below the glyphs. The pen carries on through the modelview matrix either way.
  const size_t length = std::strlen(text);
  size_t start = 0;
  while (start < length) {
    size_t end = start;
    while (end < length && HasGlyph(text[end]) && end - start < 0x7FFFFFFF) ++end;
    if (end > start) {
      glCallLists(GLsizei(end - start), GL_BYTE, text + start);
      start = end;
    } else {
      glCallList(fontBase + kStandInGlyph);
      ++start;
    }
  }

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glPopAttrib();
}

void FreeGlyphLists() {
  // Never built in this context: deleting from 0 would hit other lists.
  if (fontBase == 0) return;
  glDeleteLists(fontBase, kGlyphCount);
  fontBase = 0;
}
