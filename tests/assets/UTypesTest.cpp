// Reading BMP files and decimal text.
#include "BmpFiles.h"

#include "assets/UTypes.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <climits>
#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter {
  void operator()(uint8_t* p) const { std::free(p); }
};
using Pixels = std::unique_ptr<uint8_t, FreeDeleter>;

class ReadBmpTest : public ::testing::Test {
 protected:
  void SetUp() override { CaptureMessages(); }
  void TearDown() override { StopCapturingMessages(); }

  // Writes `bytes` and reads them back with the game's colour key.
  Pixels Read(const std::vector<uint8_t>& bytes) {
    const std::string path = dir.File("image.bmp");
    WriteFile(path, bytes);
    return Pixels(ReadBmpImage(path.c_str(), 0xFFFFFF, width, height, bitCount));
  }

  ScratchDir dir;
  int32_t width = -7;
  int32_t height = -7;
  uint16_t bitCount = 7;
};

TEST_F(ReadBmpTest, TwentyFourBitImageComesBackRgbBottomRowFirst) {
  // Top row red, green, blue, white; bottom row four shades of grey.
  const std::vector<uint8_t> top = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255,
                                    10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40};
  Pixels p = Read(MakeImageBmp(4, 2, 24, top));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(bitCount, 24);
  const std::vector<uint8_t> want = {10, 10, 10, 20, 20, 20, 30, 30, 30, 40, 40, 40,
                                     255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  EXPECT_EQ(std::vector<uint8_t>(p.get(), p.get() + 24), want);
  EXPECT_TRUE(capturedMessages.empty());
}

TEST_F(ReadBmpTest, ThirtyTwoBitAlphaFollowsTheColourKey) {
  // Stored blue, green, red, alpha.
  const std::vector<uint8_t> block = {255, 255, 255, 0, 255, 255, 255, 255, 0, 0, 0, 0, 10, 20, 30, 40};
  Pixels p = Read(MakeBmp(4, 1, 32, block));
  ASSERT_NE(p, nullptr);
  const std::vector<uint8_t> want = {255, 255, 255, 0, 255, 255, 255, 255, 0, 0, 0, 255, 30, 20, 10, 255};
  EXPECT_EQ(std::vector<uint8_t>(p.get(), p.get() + 16), want);
}

TEST_F(ReadBmpTest, OtherColourKeysKeepTheirOwnAlpha) {
  // Stored (30, 20, 10, 0x80) reads as red 10, green 20, blue 30, alpha 0x80: 0x801E140A.
  const std::vector<uint8_t> block = {30, 20, 10, 0x80, 30, 20, 10, 0x81};
  WriteFile(dir.File("k.bmp"), MakeBmp(2, 1, 32, block));
  Pixels p(ReadBmpImage(dir.File("k.bmp").c_str(), 0x801E140Au, width, height, bitCount));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p.get()[3], 0x80);
  EXPECT_EQ(p.get()[7], 255);
}

TEST_F(ReadBmpTest, WrongSignatureShowsInvalidBitmapAndWritesNothing) {
  for (const char* signature : {"MB", "bm", "BA", "\0\0"}) {
    std::vector<uint8_t> bytes = MakeImageBmp(4, 1, 24, std::vector<uint8_t>(12, 9));
    bytes[0] = uint8_t(signature[0]);
    bytes[1] = uint8_t(signature[1]);
    capturedMessages.clear();
    EXPECT_EQ(Read(bytes), nullptr) << signature;
    ASSERT_EQ(capturedMessages.size(), 1u);
    EXPECT_EQ(capturedMessages[0].text, "Invalid Bitmap");
    EXPECT_EQ(capturedMessages[0].caption, "Error");
    EXPECT_EQ(capturedMessages[0].style, MB_OK);
    EXPECT_EQ(width, -7);
    EXPECT_EQ(height, -7);
    EXPECT_EQ(bitCount, 7);
  }
}

TEST_F(ReadBmpTest, PixelsStartAtByte54WhateverTheHeaderSays) {
  const std::vector<uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  Pixels p = Read(MakeBmp(4, 1, 24, block, 1078));
  ASSERT_NE(p, nullptr);
  const std::vector<uint8_t> want = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
  EXPECT_EQ(std::vector<uint8_t>(p.get(), p.get() + 12), want);
}

TEST_F(ReadBmpTest, BytesAfterThePixelBlockAreIgnored) {
  std::vector<uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  std::vector<uint8_t> longer = MakeBmp(2, 1, 32, block);
  longer.resize(longer.size() + 4096, 0xEE);
  Pixels p = Read(longer);
  ASSERT_NE(p, nullptr);
  const std::vector<uint8_t> want = {3, 2, 1, 255, 7, 6, 5, 255};
  EXPECT_EQ(std::vector<uint8_t>(p.get(), p.get() + 8), want);
}

TEST_F(ReadBmpTest, EmptyImagesGiveNoneWithoutAMessage) {
  for (uint16_t bits : {uint16_t(24), uint16_t(32)}) {
    for (auto size : {std::pair<int32_t, int32_t>{0, 5}, {5, 0}, {0, 0}}) {
      width = height = -7;
      EXPECT_EQ(Read(MakeBmp(size.first, size.second, bits, {})), nullptr);
      EXPECT_EQ(width, size.first);
      EXPECT_EQ(height, size.second);
      EXPECT_EQ(bitCount, bits);
    }
  }
  EXPECT_TRUE(capturedMessages.empty());
}

TEST_F(ReadBmpTest, NarrowDepthsComeBackRawOrNotAtAll) {
  // Below 8 bits the size is 0: none, no message.
  EXPECT_EQ(Read(MakeBmp(8, 8, 1, std::vector<uint8_t>(8, 0xFF))), nullptr);
  EXPECT_EQ(bitCount, 1);
  EXPECT_EQ(Read(MakeBmp(8, 8, 0, {})), nullptr);
  EXPECT_EQ(bitCount, 0);
  // 8, 16 and 64 bits: the raw bytes from offset 54, unconverted.
  const std::vector<uint8_t> raw = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  for (auto c : {std::pair<uint16_t, int32_t>{8, 16}, {16, 8}, {64, 2}}) {
    Pixels p = Read(MakeBmp(c.second, 1, c.first, raw));
    ASSERT_NE(p, nullptr) << c.first;
    EXPECT_EQ(bitCount, c.first);
    EXPECT_EQ(std::vector<uint8_t>(p.get(), p.get() + 16), raw) << c.first;
  }
  EXPECT_TRUE(capturedMessages.empty());
}

// Fatal paths end the process: each runs in a child with the default message route,
// which prints "Error: <text>" on stderr.
using ReadBmpDeathTest = ReadBmpTest;

void ReadAndDie(const std::string& path) {
  StopCapturingMessages();
  int32_t w = 0, h = 0;
  uint16_t b = 0;
  ReadBmpImage(path.c_str(), 0xFFFFFF, w, h, b);
  std::exit(99);  // not reached when the reader ends the process
}

TEST_F(ReadBmpDeathTest, MissingFileIsCode2) {
  EXPECT_EXIT(ReadAndDie(dir.File("none.bmp")), ::testing::ExitedWithCode(2),
              "Error: Runtime error   2 at 00000B01");
}

TEST_F(ReadBmpDeathTest, MissingFolderIsCode3) {
  EXPECT_EXIT(ReadAndDie(dir.File("nowhere/none.bmp")), ::testing::ExitedWithCode(3),
              "Error: Runtime error   3 at 00000B01");
}

TEST_F(ReadBmpDeathTest, AFolderIsRefusedWithCode5) {
  EXPECT_EXIT(ReadAndDie(dir.path), ::testing::ExitedWithCode(5), "Runtime error   5 at 00000B01");
}

TEST_F(ReadBmpDeathTest, ShortHeaderIsCode100EvenWithoutASignature) {
  for (const std::vector<uint8_t>& bytes :
       {std::vector<uint8_t>(10, 0), std::vector<uint8_t>{'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8},
        std::vector<uint8_t>{'X', 'Y', 'Z', 0, 0, 0, 0, 0, 0, 0}}) {
    WriteFile(dir.File("ten.bmp"), bytes);
    EXPECT_EXIT(ReadAndDie(dir.File("ten.bmp")), ::testing::ExitedWithCode(100),
                "Error: Runtime error 100 at 00000B02");
  }
}

TEST_F(ReadBmpDeathTest, ShortPixelBlockIsCode100) {
  std::vector<uint8_t> bytes = MakeImageBmp(4, 2, 24, std::vector<uint8_t>(24, 1));
  bytes.pop_back();
  WriteFile(dir.File("short.bmp"), bytes);
  EXPECT_EXIT(ReadAndDie(dir.File("short.bmp")), ::testing::ExitedWithCode(100),
              "Error: Runtime error 100 at 00000B04");
}

#if defined(_WIN32)
#define QUARN_NO_MEMORY_LIMIT 1  // no address-space limit for a child process here
#elif defined(__SANITIZE_ADDRESS__)
#define QUARN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUARN_ASAN 1
#endif
#endif

// Reads in a child whose address space is limited to 256 MiB (not under AddressSanitizer,
// whose shadow memory needs far more).
void ReadWithLittleMemoryAndDie(const std::string& path) {
#if !defined(QUARN_ASAN) && !defined(QUARN_NO_MEMORY_LIMIT)
  rlimit limit{256L * 1024 * 1024, 256L * 1024 * 1024};
  setrlimit(RLIMIT_AS, &limit);
#endif
  ReadAndDie(path);
}

TEST_F(ReadBmpDeathTest, HugeClaimedImageInAShortFileIsCode100) {
  // 1 GiB claimed, 10 bytes present: a short read, found before anything is allocated, so
  // even a process with little memory ends with 100 and not 203.
  WriteFile(dir.File("huge.bmp"), MakeBmp(16384, 16384, 32, std::vector<uint8_t>(10, 0)));
  EXPECT_EXIT(ReadWithLittleMemoryAndDie(dir.File("huge.bmp")), ::testing::ExitedWithCode(100),
              "Runtime error 100 at 00000B04");
  WriteFile(dir.File("max.bmp"), MakeBmp(INT32_MAX, 1, 8, {}));
  EXPECT_EXIT(ReadWithLittleMemoryAndDie(dir.File("max.bmp")), ::testing::ExitedWithCode(100),
              "Runtime error 100 at 00000B04");
}

TEST_F(ReadBmpDeathTest, FailedAllocationIsCode203) {
#if defined(QUARN_ASAN)
  GTEST_SKIP() << "an address-space limit breaks the sanitizer's shadow memory";
#elif defined(QUARN_NO_MEMORY_LIMIT)
  GTEST_SKIP() << "no way to limit a child's memory from the C runtime";
#else
  // A sparse 512 MiB pixel block, more than the child's address space can hold.
  const std::string path = dir.File("big.bmp");
  WriteFile(path, MakeBmp(8192, 16384, 32, {}));
  ASSERT_EQ(truncate(path.c_str(), 54 + 512L * 1024 * 1024), 0);
  EXPECT_EXIT(ReadWithLittleMemoryAndDie(path), ::testing::ExitedWithCode(203), "Error: Runtime error 203 at 00000B03");
#endif
}

TEST(IntToTextTest, DecimalWithSignOnlyWhenNegative) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(7), "7");
  EXPECT_EQ(IntToText(40), "40");
  EXPECT_EQ(IntToText(-15), "-15");
  EXPECT_EQ(IntToText(1000000), "1000000");
  EXPECT_EQ(IntToText(INT32_MAX), "2147483647");
  EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
  EXPECT_EQ(IntToText(-1), "-1");
}

}  // namespace
