// Draws the game's two pictures, data/font.bmp and data/sprite.bmp.
//
//   quarn-makeart [--font FILE.ttf] [--out DIR] [--metrics]
//
// The font sheet holds 16 x 8 cells of 16 x 16 pixels, white on black, cell (r, c) the glyph
// of code 16r + c + 32 with row 0 at the top of the picture. Text pens advance 12 pixels and
// a cell stands on the pen line, so each glyph is scaled to fit the cell with its descender
// and centred in the 12-pixel advance. Coverage is stored as its square root: text is added
// to the frame weighted by its own value, so a stored v adds v * v = the glyph's coverage.
//
// The sprite sheet is six pictures side by side (Trunk, Ground, DarkOre, YellowOre,
// OrangeOre, PaleOre) in light tones with darker detail, since the game multiplies each by
// its tile colour. Drawing maps the first stored row to the top edge of a picture, so rows are
// stored top of the picture first (a viewer shows the sheet upside down).
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows in stored order (first row first in the file), RGB
};

Image MakeImage(int width, int height) {
  Image image;
  image.width = width;
  image.height = height;
  image.rgb.assign(size_t(width) * size_t(height) * 3, 0);
  return image;
}

void Put(Image& image, int x, int storedRow, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = &image.rgb[(size_t(storedRow) * size_t(image.width) + size_t(x)) * 3];
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

void PutLE(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

bool WriteBmp24(const std::string& path, const Image& image) {
  if (image.width * 3 % 4 != 0) {
    std::fprintf(stderr, "makeart: %s: rows must need no padding\n", path.c_str());
    return false;
  }
  const uint32_t pixelBytes = uint32_t(image.width * image.height * 3);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLE(out, 54 + pixelBytes, 4);
  PutLE(out, 0, 4);
  PutLE(out, 54, 4);
  PutLE(out, 40, 4);
  PutLE(out, uint32_t(image.width), 4);
  PutLE(out, uint32_t(image.height), 4);
  PutLE(out, 1, 2);
  PutLE(out, 24, 2);
  PutLE(out, 0, 4);
  PutLE(out, pixelBytes, 4);
  PutLE(out, 2835, 4);
  PutLE(out, 2835, 4);
  PutLE(out, 0, 4);
  PutLE(out, 0, 4);
  for (size_t i = 0; i < image.rgb.size(); i += 3) {
    out.push_back(image.rgb[i + 2]);
    out.push_back(image.rgb[i + 1]);
    out.push_back(image.rgb[i]);
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    return false;
  }
  bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::fprintf(stderr, "makeart: could not write %s\n", path.c_str());
  return ok;
}

// ---------------------------------------------------------------------------------------------
// Font

constexpr int kCell = 16;
constexpr int kAdvance = 12;

struct GlyphBox {
  int above = 0;  // rows above the baseline
  int below = 0;  // rows below it
  int width = 0;  // widest bitmap
  int advance = 0;
};

GlyphBox MeasureGlyphs(FT_Face face) {
  GlyphBox box;
  for (int code = 33; code <= 126; ++code) {
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot g = face->glyph;
    box.above = std::max(box.above, g->bitmap_top);
    box.below = std::max(box.below, int(g->bitmap.rows) - g->bitmap_top);
    box.width = std::max(box.width, int(g->bitmap.width));
    box.advance = std::max(box.advance, int(g->advance.x >> 6));
  }
  return box;
}

// The stand-in glyph for characters without one of their own: a hollow box.
void DrawBoxGlyph(Image& sheet, int row, int column, int baseline) {
  const int left = column * kCell + 2;
  const int right = column * kCell + 9;
  const int top = row * kCell + baseline - 10;
  const int bottom = row * kCell + baseline - 1;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x)
      if (y == top || y == bottom || x == left || x == right) Put(sheet, x, sheet.height - 1 - y, 255, 255, 255);
}

bool MakeFont(const std::string& fontPath, const std::string& outPath, bool metrics) {
  FT_Library library;
  if (FT_Init_FreeType(&library)) {
    std::fprintf(stderr, "makeart: FreeType did not start\n");
    return false;
  }
  FT_Face face;
  if (FT_New_Face(library, fontPath.c_str(), 0, &face)) {
    std::fprintf(stderr, "makeart: cannot load %s\n", fontPath.c_str());
    FT_Done_FreeType(library);
    return false;
  }

  // The largest size whose tallest glyph and deepest descender fit the cell together, and
  // whose advance leaves a pixel between neighbours.
  int sizeY = 24;
  GlyphBox box;
  for (; sizeY > 6; --sizeY) {
    const int sizeX = std::min(sizeY + 2, 18);
    FT_Set_Pixel_Sizes(face, FT_UInt(sizeX), FT_UInt(sizeY));
    box = MeasureGlyphs(face);
    if (box.above + box.below <= kCell && box.advance <= kAdvance - 1 && box.width <= kAdvance) break;
  }
  const int sizeX = std::min(sizeY + 2, 18);
  const int baseline = kCell - box.below;  // rows from the top of the cell
  if (metrics)
    std::printf("font: pixel size %d x %d, above %d, below %d, widest %d, advance %d, baseline row %d\n", sizeX,
                sizeY, box.above, box.below, box.width, box.advance, baseline);

  Image sheet = MakeImage(256, 128);
  int clipped = 0;
  for (int code = 33; code <= 126; ++code) {
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER)) {
      std::fprintf(stderr, "makeart: no glyph for code %d\n", code);
      continue;
    }
    const FT_GlyphSlot g = face->glyph;
    const int glyph = code - 32;
    const int row = glyph / 16;
    const int column = glyph % 16;
    const int penX = (kAdvance - int(g->advance.x >> 6) + 1) / 2;
    for (int j = 0; j < int(g->bitmap.rows); ++j) {
      for (int i = 0; i < int(g->bitmap.width); ++i) {
        const uint8_t coverage = g->bitmap.buffer[j * g->bitmap.pitch + i];
        if (coverage == 0) continue;
        const int cx = penX + g->bitmap_left + i;
        const int cy = baseline - g->bitmap_top + j;
        if (cx < 0 || cx >= kCell || cy < 0 || cy >= kCell) {
          ++clipped;
          continue;
        }
        const uint8_t v = uint8_t(std::lround(std::sqrt(coverage / 255.0) * 255.0));
        // Picture row y (from the top) is stored row height - 1 - y.
        Put(sheet, column * kCell + cx, sheet.height - 1 - (row * kCell + cy), v, v, v);
      }
    }
  }
  DrawBoxGlyph(sheet, 6, 0, baseline);
  if (metrics) std::printf("font: %d covered pixels fell outside their cells\n", clipped);

  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return WriteBmp24(outPath, sheet);
}

// ---------------------------------------------------------------------------------------------
// Sprites

constexpr int kSheetWidth = 256;
constexpr int kSheetHeight = 32;
constexpr double kPictureWidth = kSheetWidth / 6.0;

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

double Random01(uint32_t a, uint32_t b, uint32_t c) { return double(Hash(a, b, c) & 0xFFFFFF) / double(0x1000000); }

// Smooth value noise with a cell of `scale` texels, 0..1.
double ValueNoise(uint32_t seed, double x, double y, double scale) {
  const double fx = x / scale;
  const double fy = y / scale;
  const int ix = int(std::floor(fx));
  const int iy = int(std::floor(fy));
  const double tx = fx - ix;
  const double ty = fy - iy;
  const double sx = tx * tx * (3.0 - 2.0 * tx);
  const double sy = ty * ty * (3.0 - 2.0 * ty);
  auto at = [&](int cx, int cy) { return Random01(seed, uint32_t(cx + 1000), uint32_t(cy + 1000)); };
  const double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * sx;
  const double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * sx;
  return top + (bottom - top) * sy;
}

// Few flat tones read better than smooth gradients once sampled to the nearest texel.
double Quantise(double v, double step) { return std::round(v / step) * step; }

struct Blob {
  double x;
  double y;
  double radiusX;
  double radiusY;
  double phase;
};

// Features kept two texels away from the picture's sides, which fall between texels.
std::vector<Blob> ScatterBlobs(uint32_t seed, int count, double minRadius, double maxRadius, double spacing) {
  std::vector<Blob> blobs;
  for (uint32_t attempt = 0; attempt < 4000 && int(blobs.size()) < count; ++attempt) {
    Blob b;
    const double radius = minRadius + (maxRadius - minRadius) * Random01(seed, attempt, 1);
    b.radiusX = radius * (1.0 + 0.3 * Random01(seed, attempt, 4));
    b.radiusY = radius;
    b.x = 2.0 + b.radiusX + (kPictureWidth - 4.0 - 2.0 * b.radiusX) * Random01(seed, attempt, 2);
    b.y = 1.5 + b.radiusY + (kSheetHeight - 3.0 - 2.0 * b.radiusY) * Random01(seed, attempt, 3);
    b.phase = 6.283 * Random01(seed, attempt, 5);
    bool clear = true;
    for (const Blob& o : blobs)
      if (std::hypot(o.x - b.x, o.y - b.y) < o.radiusX + b.radiusX + spacing) clear = false;
    if (clear) blobs.push_back(b);
  }
  return blobs;
}

// Distance to the nearest blob in units of its radius (below 1 inside), with the offset
// from its centre for shading. `angular` squares the outline off for rougher chunks.
double Nearest(const std::vector<Blob>& blobs, double x, double y, double angular, double* dx, double* dy) {
  double best = 1e9;
  for (const Blob& b : blobs) {
    const double ox = (x - b.x) / b.radiusX;
    const double oy = (y - b.y) / b.radiusY;
    const double angle = std::atan2(oy, ox);
    const double round = std::hypot(ox, oy);
    const double square = std::fabs(ox * std::cos(b.phase) + oy * std::sin(b.phase)) +
                          std::fabs(-ox * std::sin(b.phase) + oy * std::cos(b.phase));
    const double d = (round * (1.0 - angular) + square * angular * 0.8) / (1.0 + 0.12 * std::sin(2.0 * angle + b.phase));
    if (d < best) {
      best = d;
      *dx = ox;
      *dy = oy;
    }
  }
  return best;
}

// A lit lump: dark rim, body, a highlight to the top left and shade to the bottom right.
double Lump(double d, double dx, double dy, double body, double rim) {
  if (d > 0.78) return rim;
  const double light = -(dx + dy) * 0.7071;
  if (light > 0.35) return std::min(1.0, body + 0.12);
  if (light < -0.4) return body * 0.78;
  return body;
}

// Grey stone in blotchy flat tones with a few dark cracks: the rock around every ore.
double Stone(uint32_t seed, double u, double y) {
  double v = 0.46 + Quantise(0.16 * ValueNoise(seed, u, y, 5.0), 0.05);
  const double crack = ValueNoise(seed + 50, u, y, 7.0);
  if (std::fabs(crack - 0.5) < 0.025) v = 0.3;
  return v;
}

double Trunk(double u, double y) {
  // Vertical bark plates split by dark wavy grooves, with a knot.
  const double wave = u + 1.3 * std::sin(y * 0.45 + u * 0.3);
  const double phase = std::fmod(wave, 7.0);
  double v = 0.84 + Quantise(0.12 * ValueNoise(1, u, y * 0.4, 3.0), 0.04);
  if (phase < 1.1) v = 0.42;
  else if (phase < 1.9) v = 0.64;
  else if (phase > 6.2) v = 1.0;
  const double knot = std::hypot((u - 27.0) / 3.4, (y - 12.0) / 2.6);
  if (knot < 0.55) v = 0.3;
  else if (knot < 1.0) v = 0.55;
  else if (knot < 1.45) v = 0.98;
  return v;
}

double Ground(double u, double y, const std::vector<Blob>& stones) {
  // Soil in clumps of three tones, specks of grit and a few small stones.
  double v = 0.7 + Quantise(0.25 * ValueNoise(2, u, y, 4.0), 0.08);
  const double grit = Random01(3, uint32_t(u * 8.0), uint32_t(y));
  if (grit < 0.06) v = 0.5;
  else if (grit > 0.975) v = 1.0;
  double dx = 0.0, dy = 0.0;
  const double d = Nearest(stones, u, y, 0.3, &dx, &dy);
  if (d < 1.0) v = Lump(d, dx, dy, 0.95, 0.45);
  return v;
}

double Ore(uint32_t seed, double u, double y, const std::vector<Blob>& nuggets, double angular, double body,
           double rim) {
  double dx = 0.0, dy = 0.0;
  const double d = Nearest(nuggets, u, y, angular, &dx, &dy);
  if (d < 1.0) return Lump(d, dx, dy, body, rim);
  return Stone(seed, u, y);
}

bool MakeSprites(const std::string& outPath) {
  Image sheet = MakeImage(kSheetWidth, kSheetHeight);
  const std::vector<Blob> stones = ScatterBlobs(21, 3, 1.6, 2.2, 6.0);
  const std::vector<Blob> coal = ScatterBlobs(22, 5, 3.0, 4.4, 2.0);
  const std::vector<Blob> gold = ScatterBlobs(23, 8, 2.0, 2.8, 2.2);
  const std::vector<Blob> copper = ScatterBlobs(24, 5, 3.0, 4.0, 2.5);
  const std::vector<Blob> pale = ScatterBlobs(25, 4, 3.6, 5.0, 2.5);
  for (int y = 0; y < kSheetHeight; ++y) {
    for (int tx = 0; tx < kSheetWidth; ++tx) {
      const int picture = std::min(5, int((tx + 0.5) / kPictureWidth));
      const double u = tx + 0.5 - picture * kPictureWidth;
      const double v0 = y + 0.5;
      double v = 0.0;
      switch (picture) {
        case 0: v = Trunk(u, v0); break;
        case 1: v = Ground(u, v0, stones); break;
        case 2: {
          // Coal: black chunks with a grey glint in pale rock, so the dark tint still shows them.
          double dx = 0.0, dy = 0.0;
          const double d = Nearest(coal, u, v0, 0.8, &dx, &dy);
          v = d < 1.0 ? Lump(d, dx, dy, 0.12, 0.04) : Stone(12, u, v0) + 0.4;
          if (d < 1.0 && -(dx + dy) * 0.7071 > 0.45 && d < 0.7) v = 0.55;
          break;
        }
        case 3: v = Ore(13, u, v0, gold, 0.2, 0.95, 0.25); break;
        case 4: v = Ore(14, u, v0, copper, 0.0, 0.95, 0.28); break;
        default: v = Ore(15, u, v0, pale, 0.6, 0.95, 0.3); break;
      }
      const uint8_t level = uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
      // Stored row y is the picture's row y from its top edge.
      Put(sheet, tx, y, level, level, level);
    }
  }
  return WriteBmp24(outPath, sheet);
}

}  // namespace

int main(int argc, char** argv) {
  std::string fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
  std::string outDir = "data";
  bool metrics = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--font" && i + 1 < argc) fontPath = argv[++i];
    else if (arg == "--out" && i + 1 < argc) outDir = argv[++i];
    else if (arg == "--metrics") metrics = true;
    else {
      std::fprintf(stderr, "usage: %s [--font FILE.ttf] [--out DIR] [--metrics]\n", argv[0]);
      return 2;
    }
  }
  if (!MakeFont(fontPath, outDir + "/font.bmp", metrics)) return 1;
  if (!MakeSprites(outDir + "/sprite.bmp")) return 1;
  return 0;
}
