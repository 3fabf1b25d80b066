// quarn-makeicon: the game's icon from its own sprite sheet.
//   quarn-makeicon <sprite.bmp> <out.ico>            quarn.exe's program icon, 32 x 32
//   quarn-makeicon <sprite.bmp> <out.png> <size>     the same picture, size x size, as a PNG
//                                                    (the menu icon of the Linux install)
// Picture 3 of the strip (the yellow ore), its middle square scaled to the icon's
// size and tinted with the ore's tile colour, as the inventory bar shows it.
// Built and run on the build machine, so neither build needs image tools; the
// PNG is compressed here too (zlib format, fixed-code deflate), with no library.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kIcoSize = 32;
constexpr int kPicture = 3;
constexpr int kPictures = 6;
const float kTint[3] = {0.8f, 0.7f, 0.1f};  // YellowOre, red green blue

using Bytes = std::vector<uint8_t>;

uint32_t Little(const Bytes& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= uint32_t(b[at + size_t(i)]) << (8 * i);
  return v;
}

void Put(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

void PutBig(Bytes& out, uint32_t value) {
  for (int i = 3; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
}

int Fail(const char* what, const char* name) {
  std::fprintf(stderr, "quarn-makeicon: %s: %s\n", name, what);
  return 1;
}

// The square of the strip the icon shows, in the file's bottom-up rows.
struct Source {
  const uint8_t* pixels;  // first stored row
  size_t rowBytes;
  int bytesPerPixel;
  int32_t left, bottom, side;
};

// The icon as size x size RGB pixels, top row first. Each icon pixel is the
// average of the source area it covers, so an icon the size of the square is
// the square itself, a whole multiple repeats its pixels and any other size
// blends them. The tint is applied last.
Bytes Scale(const Source& src, int size) {
  Bytes rgb(size_t(size) * size_t(size) * 3);
  const double step = double(src.side) / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double sum[3] = {0, 0, 0};
      // Source rows counted from the top of the square.
      const double y0 = y * step, y1 = (y + 1) * step;
      const double x0 = x * step, x1 = (x + 1) * step;
      for (int sy = int(y0); sy < src.side && sy < y1; ++sy) {
        const double h = (sy + 1 < y1 ? sy + 1 : y1) - (sy > y0 ? sy : y0);
        const int32_t fileRow = src.bottom + src.side - 1 - sy;
        for (int sx = int(x0); sx < src.side && sx < x1; ++sx) {
          const double w = (sx + 1 < x1 ? sx + 1 : x1) - (sx > x0 ? sx : x0);
          const uint8_t* p = src.pixels + size_t(fileRow) * src.rowBytes +
                             size_t(src.left + sx) * size_t(src.bytesPerPixel);
          for (int c = 0; c < 3; ++c) sum[c] += p[2 - c] * w * h;  // the file holds blue first
        }
      }
      for (int c = 0; c < 3; ++c)
        rgb[(size_t(y) * size_t(size) + size_t(x)) * 3 + size_t(c)] =
            uint8_t(float(sum[c] / (step * step)) * kTint[c] + 0.5f);
    }
  }
  return rgb;
}

Bytes Ico(const Bytes& rgb) {
  Bytes ico;
  const uint32_t imageBytes = 40 + kIcoSize * kIcoSize * 4 + kIcoSize * 4;
  Put(ico, 0, 2);  // reserved
  Put(ico, 1, 2);  // an icon
  Put(ico, 1, 2);  // one image
  ico.push_back(kIcoSize);
  ico.push_back(kIcoSize);
  ico.push_back(0);  // no palette
  ico.push_back(0);
  Put(ico, 1, 2);   // planes
  Put(ico, 32, 2);  // bits per pixel
  Put(ico, imageBytes, 4);
  Put(ico, 6 + 16, 4);

  Put(ico, 40, 4);
  Put(ico, kIcoSize, 4);
  Put(ico, kIcoSize * 2, 4);  // colour rows and mask rows
  Put(ico, 1, 2);
  Put(ico, 32, 2);
  Put(ico, 0, 4);
  Put(ico, kIcoSize * kIcoSize * 4, 4);
  Put(ico, 0, 4);
  Put(ico, 0, 4);
  Put(ico, 0, 4);
  Put(ico, 0, 4);
  for (int y = kIcoSize - 1; y >= 0; --y) {  // bottom row first
    for (int x = 0; x < kIcoSize; ++x) {
      const uint8_t* p = &rgb[(size_t(y) * kIcoSize + size_t(x)) * 3];
      ico.push_back(p[2]);
      ico.push_back(p[1]);
      ico.push_back(p[0]);
      ico.push_back(255);
    }
  }
  ico.insert(ico.end(), kIcoSize * 4, 0);  // AND mask: every pixel opaque
  return ico;
}

// --- PNG -------------------------------------------------------------------------

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t Adler32(const Bytes& data) {
  uint32_t a = 1, b = 0;
  for (uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// Deflate's bit stream: values low bit first, Huffman codes high bit first.
struct BitWriter {
  Bytes& out;
  uint32_t bits = 0;
  int count = 0;
  void Value(uint32_t value, int n) {
    for (int i = 0; i < n; ++i) Bit((value >> i) & 1u);
  }
  void Code(uint32_t code, int n) {
    for (int i = n - 1; i >= 0; --i) Bit((code >> i) & 1u);
  }
  void Bit(uint32_t bit) {
    bits |= bit << count;
    if (++count == 8) Flush();
  }
  void Flush() {
    if (count == 0) return;
    out.push_back(uint8_t(bits));
    bits = 0;
    count = 0;
  }
};

// A literal/length symbol in the fixed code.
void Symbol(BitWriter& w, int symbol) {
  if (symbol < 144) w.Code(uint32_t(0x30 + symbol), 8);
  else if (symbol < 256) w.Code(uint32_t(0x190 + symbol - 144), 9);
  else if (symbol < 280) w.Code(uint32_t(symbol - 256), 7);
  else w.Code(uint32_t(0xC0 + symbol - 280), 8);
}

const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                               193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitWriter& w, int length, int distance) {
  int l = 28;
  while (kLengthBase[l] > length) --l;
  Symbol(w, 257 + l);
  w.Value(uint32_t(length - kLengthBase[l]), kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  w.Code(uint32_t(d), 5);
  w.Value(uint32_t(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream of one fixed-code deflate block; repeats found through a hash
// of the next three bytes (greedy, the longest of the last 64 candidates).
Bytes Zlib(const Bytes& data) {
  constexpr int kWindow = 32768, kMaxMatch = 258, kChain = 64;
  Bytes out = {0x78, 0x01};
  BitWriter w{out};
  w.Value(1, 1);  // the last block
  w.Value(1, 2);  // fixed codes
  std::vector<int32_t> head(1 << 15, -1), previous(data.size(), -1);
  auto hash = [&](size_t i) {
    return (uint32_t(data[i]) << 10 ^ uint32_t(data[i + 1]) << 5 ^ data[i + 2]) & 0x7FFF;
  };
  auto insert = [&](size_t i) {
    if (i + 2 >= data.size()) return;
    const uint32_t h = hash(i);
    previous[i] = head[h];
    head[h] = int32_t(i);
  };
  for (size_t i = 0; i < data.size();) {
    int bestLength = 0, bestDistance = 0;
    if (i + 2 < data.size()) {
      int32_t candidate = head[hash(i)];
      for (int tries = 0; candidate >= 0 && tries < kChain; ++tries, candidate = previous[size_t(candidate)]) {
        const size_t distance = i - size_t(candidate);
        if (distance > kWindow) break;
        size_t length = 0;
        while (length < kMaxMatch && i + length < data.size() && data[size_t(candidate) + length] == data[i + length])
          ++length;
        if (int(length) > bestLength) {
          bestLength = int(length);
          bestDistance = int(distance);
        }
      }
    }
    if (bestLength >= 3) {
      Match(w, bestLength, bestDistance);
      for (int k = 0; k < bestLength; ++k) insert(i + size_t(k));
      i += size_t(bestLength);
    } else {
      Symbol(w, data[i]);
      insert(i);
      ++i;
    }
  }
  Symbol(w, 256);  // end of block
  w.Flush();
  PutBig(out, Adler32(data));
  return out;
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
  PutBig(png, uint32_t(data.size()));
  const size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBig(png, Crc32(&png[start], png.size() - start));
}

// An 8-bit RGB PNG, every row unfiltered.
Bytes Png(const Bytes& rgb, int size) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBig(header, uint32_t(size));
  PutBig(header, uint32_t(size));
  header.push_back(8);  // bits per channel
  header.push_back(2);  // RGB
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filtering
  header.push_back(0);  // not interlaced
  Chunk(png, "IHDR", header);
  Bytes raw;
  const size_t rowBytes = size_t(size) * 3;
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);  // filter: none
    raw.insert(raw.end(), rgb.begin() + long(size_t(y) * rowBytes), rgb.begin() + long(size_t(y + 1) * rowBytes));
  }
  Chunk(png, "IDAT", Zlib(raw));
  Chunk(png, "IEND", Bytes());
  return png;
}

bool EndsWith(const char* text, const char* end) {
  const size_t n = std::strlen(text), m = std::strlen(end);
  return n >= m && std::strcmp(text + n - m, end) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool png = argc == 4 && EndsWith(argv[2], ".png");
  if (!(argc == 3 && EndsWith(argv[2], ".ico")) && !png) {
    std::fprintf(stderr, "usage: quarn-makeicon <sprite.bmp> <out.ico>\n"
                         "       quarn-makeicon <sprite.bmp> <out.png> <size>\n");
    return 2;
  }
  int size = kIcoSize;
  if (png) {
    char* end = nullptr;
    const long wanted = std::strtol(argv[3], &end, 10);
    if (*end != '\0' || wanted < 1 || wanted > 1024) return Fail("not a size from 1 to 1024", argv[3]);
    size = int(wanted);
  }

  std::FILE* in = std::fopen(argv[1], "rb");
  if (!in) return Fail("cannot open", argv[1]);
  Bytes file;
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
  Source src;
  src.pixels = &file[offset];
  src.rowBytes = rowBytes;
  src.bytesPerPixel = bytesPerPixel;
  const int32_t pictureLeft = width * kPicture / kPictures;
  const int32_t pictureWidth = width / kPictures;
  src.side = pictureWidth < height ? pictureWidth : height;
  src.left = pictureLeft + (pictureWidth - src.side) / 2;
  src.bottom = (height - src.side) / 2;

  const Bytes rgb = Scale(src, size);
  const Bytes out = png ? Png(rgb, size) : Ico(rgb);
  std::FILE* file2 = std::fopen(argv[2], "wb");
  if (!file2) return Fail("cannot write", argv[2]);
  const bool ok = std::fwrite(out.data(), 1, out.size(), file2) == out.size();
  if (std::fclose(file2) != 0 || !ok) return Fail("cannot write", argv[2]);
  return 0;
}
