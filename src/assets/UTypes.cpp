#include "assets/UTypes.h"

#include "platform/Messages.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Failing-place values shown in the runtime error box, one per place that can end the program.
constexpr uint32_t kPlaceOpen = 0x0B01;
constexpr uint32_t kPlaceHeader = 0x0B02;
constexpr uint32_t kPlaceAllocate = 0x0B03;
constexpr uint32_t kPlacePixels = 0x0B04;

constexpr size_t kHeaderBytes = 54;

int32_t ReadInt32(const uint8_t* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

uint16_t ReadUInt16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

#ifdef _WIN32
// 64-bit sizes: the plain stat's are 32-bit longs here.
using FileInfo = struct _stat64;
int InfoOf(std::FILE* file, FileInfo& info) { return _fstat64(_fileno(file), &info); }
constexpr char kSeparators[] = "/\\";
#else
using FileInfo = struct stat;
int InfoOf(std::FILE* file, FileInfo& info) { return fstat(fileno(file), &info); }
constexpr char kSeparators[] = "/";
#endif

// The folder part of a path exists (or the path has none).
bool FolderExists(const char* fileName) {
  std::string path(fileName);
  size_t slash = path.find_last_of(kSeparators);
  if (slash == std::string::npos) return true;
  std::string folder = slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
  FileInfo info;
#ifdef _WIN32
  return _stat64(folder.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
#else
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

// The error codes the game reports are the Windows ones: 2 no such file, 3 no such folder,
// 5 access denied. On Windows the C runtime keeps the system's own code of the failed open.
[[noreturn]] void OpenFailed(const char* fileName, int error, unsigned long systemError) {
  int32_t code = 5;
  if (systemError != 0)
    code = int32_t(systemError);
  else if (error == ENOENT)
    code = FolderExists(fileName) ? 2 : 3;
  else if (error == ENOTDIR || error == ENAMETOOLONG)
    code = 3;
  RuntimeError(code, kPlaceOpen);
}

// Releases what the read holds before the runtime error, which ends the game but returns
// control by other means where the message route allows (the fuzzer's does).
[[noreturn]] void Fatal(std::FILE* file, uint8_t* pixels, int32_t code, uint32_t place) {
  std::free(pixels);
  std::fclose(file);
  RuntimeError(code, place);
}

void InvalidBitmap(std::FILE* file) {
  std::fclose(file);
  ShowMessageBox("Invalid Bitmap", "Error", MB_OK);
}

}  // namespace

uint8_t* ReadBmpImage(const char* fileName, uint32_t colourKey, int32_t& width, int32_t& height,
                      uint16_t& bitCount) {
#ifdef _WIN32
  _doserrno = 0;
#endif
  std::FILE* file = std::fopen(fileName, "rb");
#ifdef _WIN32
  if (!file) OpenFailed(fileName, errno, _doserrno);
#else
  if (!file) OpenFailed(fileName, errno, 0);
#endif
  FileInfo info {};
  const bool known = InfoOf(file, info) == 0;
  const bool regular = known && (info.st_mode & S_IFMT) == S_IFREG;
  // Opening a folder succeeds on Linux but is refused where the game's error codes come from.
  if (known && (info.st_mode & S_IFMT) == S_IFDIR) Fatal(file, nullptr, 5, kPlaceOpen);

  // The whole header is read before the signature is looked at, so a tiny file is a short
  // read rather than an invalid bitmap.
  uint8_t header[kHeaderBytes];
  if (std::fread(header, 1, kHeaderBytes, file) != kHeaderBytes) Fatal(file, nullptr, 100, kPlaceHeader);
  if (header[0] != 'B' || header[1] != 'M') {
    InvalidBitmap(file);
    return nullptr;
  }

  const int32_t fileWidth = ReadInt32(header + 18);
  const int32_t fileHeight = ReadInt32(header + 22);
  const uint16_t fileBitCount = ReadUInt16(header + 28);

  // Top-down files and sizes beyond signed 32 bits would turn the size below negative or
  // wrap it, leading to a wrong allocation and reads or writes outside the buffer.
  // Each product is formed only once its factors are known to keep it within 64 bits.
  const bool negative = fileWidth < 0 || fileHeight < 0;
  const int64_t pixelCount = negative ? 0 : int64_t(fileWidth) * int64_t(fileHeight);
  const int64_t size64 = pixelCount > INT32_MAX ? 0 : pixelCount * int64_t(fileBitCount / 8);
  if (negative || pixelCount > INT32_MAX || size64 > INT32_MAX) {
    InvalidBitmap(file);
    return nullptr;
  }

  width = fileWidth;
  height = fileHeight;
  bitCount = fileBitCount;
  const int32_t size = int32_t(size64);
  if (size <= 0) {
    std::fclose(file);
    return nullptr;
  }

  // A file too short for its pixel block fails the read anyway; finding out before
  // allocating keeps a lying header from asking for up to 2 GB.
  if (regular && info.st_size - int64_t(kHeaderBytes) < size64) Fatal(file, nullptr, 100, kPlacePixels);

  uint8_t* pixels = static_cast<uint8_t*>(std::malloc(size_t(size)));
  if (!pixels) Fatal(file, nullptr, 203, kPlaceAllocate);
  if (std::fread(pixels, 1, size_t(size), file) != size_t(size)) Fatal(file, pixels, 100, kPlacePixels);
  std::fclose(file);

  const int32_t n = int32_t(pixelCount);
  if (bitCount == 24) {
    for (int32_t i = 0; i < n; ++i) {
      uint8_t* p = pixels + size_t(i) * 3;
      uint8_t blue = p[0];
      p[0] = p[2];
      p[2] = blue;
    }
  } else if (bitCount == 32) {
    for (int32_t i = 0; i < n; ++i) {
      uint8_t* p = pixels + size_t(i) * 4;
      uint8_t blue = p[0];
      p[0] = p[2];
      p[2] = blue;
      uint32_t value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
      if (value != colourKey) p[3] = 255;
    }
  }
  return pixels;
}

std::string IntToText(int32_t value) {
  // Work on the magnitude as unsigned so the most negative value has a positive counterpart.
  uint32_t magnitude = value < 0 ? 0u - uint32_t(value) : uint32_t(value);
  char digits[12];
  int count = 0;
  do {
    digits[count++] = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::string text;
  if (value < 0) text.push_back('-');
  while (count > 0) text.push_back(digits[--count]);
  return text;
}
