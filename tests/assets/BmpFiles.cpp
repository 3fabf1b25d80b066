#include "BmpFiles.h"

#include "platform/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace {

void Put(std::vector<uint8_t>& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + size_t(i)] = uint8_t(value >> (8 * i));
}

void Capture(const char* text, const char* caption, uint32_t style) {
  capturedMessages.push_back({text, caption, style});
}

}  // namespace

std::vector<CapturedMessage> capturedMessages;

std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, uint16_t bitCount, const std::vector<uint8_t>& pixelBlock,
                             uint32_t offBits) {
  std::vector<uint8_t> out(54 + pixelBlock.size(), 0);
  out[0] = 'B';
  out[1] = 'M';
  Put(out, 2, uint32_t(54 + pixelBlock.size()), 4);
  Put(out, 10, offBits, 4);
  Put(out, 14, 40, 4);
  Put(out, 18, uint32_t(width), 4);
  Put(out, 22, uint32_t(height), 4);
  Put(out, 26, 1, 2);
  Put(out, 28, bitCount, 2);
  Put(out, 34, uint32_t(pixelBlock.size()), 4);
  for (size_t i = 0; i < pixelBlock.size(); ++i) out[54 + i] = pixelBlock[i];
  return out;
}

std::vector<uint8_t> MakeImageBmp(int32_t width, int32_t height, int bitCount, const std::vector<uint8_t>& topFirstRgb) {
  const int channels = bitCount / 8;
  std::vector<uint8_t> block;
  for (int32_t row = height - 1; row >= 0; --row) {
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = &topFirstRgb[(size_t(row) * size_t(width) + size_t(x)) * size_t(channels)];
      block.push_back(p[2]);
      block.push_back(p[1]);
      block.push_back(p[0]);
      if (channels == 4) block.push_back(p[3]);
    }
  }
  return MakeBmp(width, height, uint16_t(bitCount), block);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) throw std::runtime_error("cannot write " + path);
  // An empty vector may have no storage at all; fwrite must not see a null buffer.
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !ok) throw std::runtime_error("cannot write " + path);
}

ScratchDir::ScratchDir() {
#ifdef _WIN32
  // No mkdtemp in the Windows C runtime: a fresh name by trial.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path.empty(); ++attempt) {
    std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("quarn-assets-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) path = candidate.string();
  }
  if (path.empty()) throw std::runtime_error("cannot make a scratch folder");
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "quarn-assets-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path = pattern;
#endif
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

void CaptureMessages() {
  capturedMessages.clear();
  messageBoxHook = Capture;
}

void StopCapturingMessages() { messageBoxHook = nullptr; }
