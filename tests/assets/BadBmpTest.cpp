// Malformed and hostile BMP files: every outcome is a defined result, an "Invalid Bitmap"
// box or a runtime error, never a crash, an over-read or a huge allocation.
#include "BmpFiles.h"

#include "assets/UTypes.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

namespace {

class BadBmpTest : public ::testing::Test {
 protected:
  void SetUp() override { CaptureMessages(); }
  void TearDown() override { StopCapturingMessages(); }

  // Reads `bytes` from a file; returns whether pixels came back (and frees them).
  bool ReadsPixels(const std::vector<uint8_t>& bytes) {
    WriteFile(dir.File("bad.bmp"), bytes);
    width = height = -7;
    bitCount = 7;
    uint8_t* p = ReadBmpImage(dir.File("bad.bmp").c_str(), 0xFFFFFF, width, height, bitCount);
    std::free(p);
    return p != nullptr;
  }

  bool OneInvalidBitmapBox() {
    const bool one = capturedMessages.size() == 1 && capturedMessages[0].text == "Invalid Bitmap";
    capturedMessages.clear();
    return one;
  }

  ScratchDir dir;
  int32_t width = -7;
  int32_t height = -7;
  uint16_t bitCount = 7;
};

void ReadAndDie(const std::string& path) {
  StopCapturingMessages();
  int32_t w = 0, h = 0;
  uint16_t b = 0;
  ReadBmpImage(path.c_str(), 0xFFFFFF, w, h, b);
  std::exit(99);
}

using BadBmpDeathTest = BadBmpTest;

TEST_F(BadBmpDeathTest, EveryTruncationOfAValidFileIsAShortRead) {
  const std::vector<std::vector<uint8_t>> files = {MakeImageBmp(4, 2, 24, std::vector<uint8_t>(24, 77)),
                                                   MakeImageBmp(3, 3, 32, std::vector<uint8_t>(36, 200))};
  for (const std::vector<uint8_t>& full : files) {
    ASSERT_TRUE(ReadsPixels(full));
    for (size_t length = 0; length < full.size(); ++length) {
      WriteFile(dir.File("cut.bmp"), std::vector<uint8_t>(full.begin(), full.begin() + long(length)));
      EXPECT_EXIT(ReadAndDie(dir.File("cut.bmp")), ::testing::ExitedWithCode(100), "Runtime error 100 at ")
          << "length " << length << " of " << full.size();
    }
  }
}

TEST_F(BadBmpTest, WrongSignaturesAreInvalidWhateverFollows) {
  for (int first = 0; first < 256; first += 17) {
    std::vector<uint8_t> bytes = MakeImageBmp(4, 1, 24, std::vector<uint8_t>(12, 1));
    bytes[0] = uint8_t(first);
    bytes[1] = 'M';
    if (first == 'B') continue;
    EXPECT_FALSE(ReadsPixels(bytes));
    EXPECT_TRUE(OneInvalidBitmapBox()) << first;
    EXPECT_EQ(bitCount, 7);
  }
  // Exactly 54 bytes of zeros.
  EXPECT_FALSE(ReadsPixels(std::vector<uint8_t>(54, 0)));
  EXPECT_TRUE(OneInvalidBitmapBox());
}

TEST_F(BadBmpTest, EveryBitDepthGivesItsDefinedResult) {
  const std::vector<uint8_t> block(64, 0x5A);
  struct Case {
    uint16_t bits;
    bool pixels;
  };
  for (Case c : {Case{0, false}, Case{1, false}, Case{4, false}, Case{8, true}, Case{16, true}, Case{24, true},
                 Case{32, true}, Case{64, true}}) {
    EXPECT_EQ(ReadsPixels(MakeBmp(2, 4, c.bits, block)), c.pixels) << c.bits;
    EXPECT_EQ(bitCount, c.bits);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 4);
  }
  EXPECT_TRUE(capturedMessages.empty());
}

TEST_F(BadBmpTest, ZeroSizesGiveNoneSilentlyAtEveryDepth) {
  for (uint16_t bits : {0, 1, 8, 16, 24, 32, 64}) {
    EXPECT_FALSE(ReadsPixels(MakeBmp(0, 3, bits, {})));
    EXPECT_FALSE(ReadsPixels(MakeBmp(3, 0, bits, {})));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 0);
  }
  EXPECT_TRUE(capturedMessages.empty());
}

TEST_F(BadBmpTest, NegativeSizesAreInvalid) {
  const std::vector<uint8_t> block(64, 1);
  for (auto size : {std::pair<int32_t, int32_t>{-4, 2}, {4, -2}, {-4, -2}, {INT32_MIN, 1}, {1, INT32_MIN},
                    {INT32_MIN, INT32_MIN}, {-1, -1}}) {
    for (uint16_t bits : {1, 8, 24, 32, 65535}) {
      EXPECT_FALSE(ReadsPixels(MakeBmp(size.first, size.second, bits, block)));
      EXPECT_TRUE(OneInvalidBitmapBox()) << size.first << " x " << size.second << " at " << bits;
      EXPECT_EQ(width, -7);
    }
  }
}

TEST_F(BadBmpTest, SizesBeyondSigned32BitsAreInvalid) {
  const std::vector<uint8_t> block(64, 1);
  struct Case {
    int32_t width;
    int32_t height;
    uint16_t bits;
  };
  for (Case c : {Case{65536, 65536, 24}, Case{65536, 32768, 8}, Case{46341, 46341, 1}, Case{INT32_MAX, 2, 8},
                 Case{INT32_MAX, 1, 16}, Case{INT32_MAX, INT32_MAX, 32}, Case{32768, 32768, 32},
                 Case{300000, 1, 65535}, Case{INT32_MAX, INT32_MAX, 65535}}) {
    EXPECT_FALSE(ReadsPixels(MakeBmp(c.width, c.height, c.bits, block)));
    EXPECT_TRUE(OneInvalidBitmapBox()) << c.width << " x " << c.height << " at " << c.bits;
  }
}

TEST_F(BadBmpTest, AFileLargerThanItsPixelBlockReadsOnlyTheBlock) {
  std::vector<uint8_t> bytes = MakeImageBmp(4, 1, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  bytes.resize(bytes.size() + 100000, 0xFF);
  WriteFile(dir.File("long.bmp"), bytes);
  uint8_t* p = ReadBmpImage(dir.File("long.bmp").c_str(), 0xFFFFFF, width, height, bitCount);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(p, p + 12), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  std::free(p);
}

TEST_F(BadBmpTest, RowPaddingIsNotApplied) {
  // A 3-pixel-wide 24-bit image is 9 bytes a row in the reader's eyes, padding or not.
  const std::vector<uint8_t> block = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  WriteFile(dir.File("odd.bmp"), MakeBmp(3, 2, 24, block));
  uint8_t* p = ReadBmpImage(dir.File("odd.bmp").c_str(), 0xFFFFFF, width, height, bitCount);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[9], 12);
  EXPECT_EQ(p[11], 10);
  std::free(p);
}

}  // namespace
