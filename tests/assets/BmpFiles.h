// Helpers for tests that feed BMP files to the reader: building headers byte by byte,
// a scratch folder, and capturing message boxes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The 54 header bytes with the given fields, followed by `pixelBlock`.
std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bitCount, const std::vector<uint8_t>& pixelBlock,
                             uint32_t offBits = 54);
// A 24- or 32-bit file from top-row-first RGB(A) pixels, stored as the reader expects.
std::vector<uint8_t> MakeImageBmp(int32_t width, int32_t height, int bitCount, const std::vector<uint8_t>& topFirstRgb);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A fresh folder under the system temp folder, removed with everything in it on destruction.
struct ScratchDir {
  ScratchDir();
  ~ScratchDir();
  std::string File(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

struct CapturedMessage {
  std::string text;
  std::string caption;
  uint32_t style;
};
extern std::vector<CapturedMessage> capturedMessages;
// Routes message boxes into capturedMessages (cleared here).
void CaptureMessages();
void StopCapturingMessages();
