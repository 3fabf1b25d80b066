// The view as a 24-bit BMP: every offscreen context writes its screenshots so.
#include "platform/Offscreen.h"

#include "platform/OpenGL.h"

#include <cerrno>
#include <cstdio>
#include <vector>

namespace {

void PutLittle(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

bool WriteViewBmp(const char* path, int32_t width, int32_t height) {
  // BMP rows are padded to 4 bytes, as OpenGL's default pack alignment pads them.
  const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * uint32_t(height);
  std::vector<uint8_t> file(54 + imageBytes, 0);
  uint8_t* h = file.data();
  h[0] = 'B';
  h[1] = 'M';
  PutLittle(h + 2, uint32_t(file.size()), 4);
  PutLittle(h + 10, 54, 4);
  PutLittle(h + 14, 40, 4);
  PutLittle(h + 18, uint32_t(width), 4);
  PutLittle(h + 22, uint32_t(height), 4);  // positive: bottom row first
  PutLittle(h + 26, 1, 2);
  PutLittle(h + 28, 24, 2);
  PutLittle(h + 34, imageBytes, 4);
  PutLittle(h + 38, 2835, 4);  // 72 dpi
  PutLittle(h + 42, 2835, 4);

  // OpenGL reads bottom row first, which is the order a bottom-up BMP stores.
  uint8_t* pixels = h + 54;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  for (uint32_t row = 0; row < uint32_t(height); ++row) {
    uint8_t* p = pixels + row * rowBytes;
    for (uint32_t i = 0; i < uint32_t(width) * 3; i += 3) {
      uint8_t red = p[i];
      p[i] = p[i + 2];
      p[i + 2] = red;
    }
  }

  std::FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  int saved = errno;
  if (std::fclose(out) != 0) ok = false;
  if (!ok && errno == 0) errno = saved;
  return ok;
}
