// quarn-makeicon: the program icon of quarn.exe from the game's own sprite sheet.
//   quarn-makeicon <sprite.bmp> <out.ico>
// Picture 3 of the strip (the yellow ore), its middle square scaled to 32 x 32 and
// tinted with the ore's tile colour, as the inventory bar shows it. Built and run
// on the build machine, so the Windows build needs no image tools.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kIconSize = 32;
constexpr int kPicture = 3;
constexpr int kPictures = 6;
const float kTint[3] = {0.8f, 0.7f, 0.1f};  // YellowOre

uint32_t Little(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t(b[at + size_t(i)]) << (8 * i);
  return v;
}

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

int Fail(const char* what, const char* name) {
  std::fprintf(stderr, "quarn-makeicon: %s: %s\n", name, what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: quarn-makeicon <sprite.bmp> <out.ico>\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (!in) return Fail("cannot open", argv[1]);
  std::vector<uint8_t> file;
  for (int ch; (ch = std::fgetc(in)) != EOF;) file.push_back(uint8_t(ch));
  std::fclose(in);
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return Fail("not a BMP file", argv[1]);

  const int32_t width = int32_t(Little(file, 18, 4));
  const int32_t height = int32_t(Little(file, 22, 4));
  const int bytesPerPixel = int(Little(file, 28, 2)) / 8;
  const size_t offset = Little(file, 10, 4);
  if (width < kPictures || height < 1 || (bytesPerPixel != 3 && bytesPerPixel != 4))
    return Fail("want a bottom-up 24- or 32-bit picture strip", argv[1]);
  const size_t rowBytes = (size_t(width) * size_t(bytesPerPixel) + 3) & ~size_t(3);
  if (file.size() < offset + rowBytes * size_t(height)) return Fail("pixel block cut short", argv[1]);

  // The middle square of the picture's column.
  const int32_t pictureLeft = width * kPicture / kPictures;
  const int32_t pictureWidth = width / kPictures;
  const int32_t side = pictureWidth < height ? pictureWidth : height;
  const int32_t left = pictureLeft + (pictureWidth - side) / 2;
  const int32_t bottom = (height - side) / 2;

  std::vector<uint8_t> ico;
  const uint32_t imageBytes = 40 + kIconSize * kIconSize * 4 + kIconSize * 4;
  Put(ico, 0, 2);  // reserved
  Put(ico, 1, 2);  // an icon
  Put(ico, 1, 2);  // one image
  ico.push_back(kIconSize);
  ico.push_back(kIconSize);
  ico.push_back(0);  // no palette
  ico.push_back(0);
  Put(ico, 1, 2);   // planes
  Put(ico, 32, 2);  // bits per pixel
  Put(ico, imageBytes, 4);
  Put(ico, 6 + 16, 4);

  Put(ico, 40, 4);
  Put(ico, kIconSize, 4);
  Put(ico, kIconSize * 2, 4);  // colour rows and mask rows
  Put(ico, 1, 2);
  Put(ico, 32, 2);
  Put(ico, 0, 4);
  Put(ico, kIconSize * kIconSize * 4, 4);
  Put(ico, 0, 4);
  Put(ico, 0, 4);
  Put(ico, 0, 4);
  Put(ico, 0, 4);
  // Bottom row first, like the strip.
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      const int32_t sx = left + x * side / kIconSize;
      const int32_t sy = bottom + y * side / kIconSize;
      const uint8_t* p = &file[offset + size_t(sy) * rowBytes + size_t(sx) * size_t(bytesPerPixel)];
      for (int c = 0; c < 3; ++c) ico.push_back(uint8_t(float(p[c]) * kTint[2 - c] + 0.5f));
      ico.push_back(255);
    }
  }
  ico.insert(ico.end(), kIconSize * 4, 0);  // AND mask: every pixel opaque

  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) return Fail("cannot write", argv[2]);
  const bool ok = std::fwrite(ico.data(), 1, ico.size(), out) == ico.size();
  if (std::fclose(out) != 0 || !ok) return Fail("cannot write", argv[2]);
  return 0;
}
