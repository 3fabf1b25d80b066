#include "assets/TextureLists.h"

#include "assets/UTypes.h"

#include "platform/OpenGL.h"

#include <cstdlib>

uint32_t spriteTextureList = 0;
uint32_t fontTextureList = 0;

void RecordTextureList(uint32_t list, const char* fileName, bool nearestFilters) {
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitCount = 0;
  uint8_t* pixels = ReadBmpImage(fileName, 0xFFFFFF, width, height, bitCount);

  // The reader's rows have no padding. Pixel-store state is not recorded in a list but
  // applies while the upload is copied into it, so a byte alignment here lets a 24-bit
  // image of any width be taken with the right stride and never read past the buffer.
  GLint oldAlignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  glNewList(list, GL_COMPILE);
  if (pixels && bitCount == 24)
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  else if (pixels && bitCount == 32)
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  if (nearestFilters) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  glEndList();

  glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
  std::free(pixels);
}

void CreateTextureLists() {
  spriteTextureList = glGenLists(1);
  fontTextureList = glGenLists(1);
  CompileTextureList(spriteTextureList, "sprite.bmp");
}

void CompileTextureList(uint32_t list, const char* fileName) { RecordTextureList(list, fileName, false); }
