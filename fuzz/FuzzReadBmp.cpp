// libFuzzer target for the BMP reader. Each input is a whole file, handed to ReadBmpImage
// through an in-memory file. Runtime errors come back as exceptions from the message route
// instead of ending the process, and every outcome is checked against the file's header:
// the reader may return pixels, none, "Invalid Bitmap" or a short-read error, each only
// where the file calls for it, and returned pixels must be the file's, converted.
#include "assets/UTypes.h"
#include "platform/Messages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct FatalError {
  int code;
};

int invalidBitmaps = 0;

void Route(const char* text, const char* caption, uint32_t style) {
  if (std::strcmp(caption, "Error") != 0 || style != MB_OK) std::abort();
  if (std::strcmp(text, "Invalid Bitmap") == 0) {
    ++invalidBitmaps;
    return;
  }
  int code = 0;
  if (std::sscanf(text, "Runtime error %d at ", &code) != 1) std::abort();
  throw FatalError{code};
}

int32_t Int32At(const uint8_t* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_read_bmp: %s\n", what);
    std::abort();
  }
}

int memoryFile = -1;
char memoryPath[64];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (memoryFile < 0) {
    memoryFile = memfd_create("fuzz-bmp", 0);
    Check(memoryFile >= 0, "memfd_create failed");
    std::snprintf(memoryPath, sizeof memoryPath, "/proc/self/fd/%d", memoryFile);
    messageBoxHook = Route;
  }
  Check(ftruncate(memoryFile, 0) == 0, "ftruncate failed");
  Check(size == 0 || pwrite(memoryFile, data, size, 0) == ssize_t(size), "pwrite failed");

  // What the file calls for.
  const bool headerPresent = size >= 54;
  const bool signature = headerPresent && data[0] == 'B' && data[1] == 'M';
  const int32_t fileWidth = headerPresent ? Int32At(data + 18) : 0;
  const int32_t fileHeight = headerPresent ? Int32At(data + 22) : 0;
  const uint16_t fileBits = headerPresent ? uint16_t(data[28] | data[29] << 8) : 0;
  const bool negative = fileWidth < 0 || fileHeight < 0;
  const int64_t pixelCount = negative ? 0 : int64_t(fileWidth) * fileHeight;
  const int64_t needed = pixelCount > INT32_MAX ? 0 : pixelCount * (fileBits / 8);
  const bool acceptable = !negative && pixelCount <= INT32_MAX && needed <= INT32_MAX;

  int32_t width = -7;
  int32_t height = -7;
  uint16_t bitCount = 7;
  invalidBitmaps = 0;
  uint8_t* pixels = nullptr;
  try {
    pixels = ReadBmpImage(memoryPath, 0xFFFFFF, width, height, bitCount);
  } catch (const FatalError& error) {
    Check(error.code == 100, "a runtime error other than a short read");
    Check(!headerPresent || (signature && acceptable && needed > 0 && int64_t(size) - 54 < needed),
          "a short read reported for a file that is long enough");
    return 0;
  }

  Check(headerPresent, "a file shorter than its header was read");
  if (!signature || !acceptable) {
    Check(pixels == nullptr && invalidBitmaps == 1, "a bad header was not reported as an invalid bitmap");
    Check(width == -7 && height == -7 && bitCount == 7, "out-values written for an invalid bitmap");
    return 0;
  }
  Check(invalidBitmaps == 0, "an acceptable header reported as an invalid bitmap");
  Check(width == fileWidth && height == fileHeight && bitCount == fileBits, "wrong out-values");
  if (needed == 0) {
    Check(pixels == nullptr, "pixels for an empty image");
    return 0;
  }
  Check(pixels != nullptr, "no pixels for a complete image");
  Check(int64_t(size) - 54 >= needed, "pixels from a short file");

  // Every byte is compared, so the sanitizer sees the whole buffer touched.
  const uint8_t* file = data + 54;
  for (int64_t i = 0; i < needed; ++i) {
    uint8_t want = file[i];
    if (fileBits == 24) {
      const int64_t lane = i % 3;
      want = file[i - lane + (2 - lane)];
    } else if (fileBits == 32) {
      const int64_t lane = i % 4;
      const uint8_t* stored = file + (i - lane);
      const bool key = stored[0] == 255 && stored[1] == 255 && stored[2] == 255 && stored[3] == 0;
      want = lane == 3 ? (key ? 0 : 255) : stored[2 - lane];
    }
    Check(pixels[i] == want, "converted pixels differ from the file");
  }
  std::free(pixels);
  return 0;
}
