// BMP reading and decimal text.
#pragma once

#include <cstdint>
#include <string>

// Reads an uncompressed 24- or 32-bit BMP into a new RGB(A) buffer, bottom row
// first, that the caller frees with std::free. Null for a file that is not a
// bitmap (after an "Invalid Bitmap" box) or has no pixels. Missing or short
// files and failed allocations end the program with a runtime error.
uint8_t* ReadBmpImage(const char* fileName, uint32_t colourKey, int32_t& width, int32_t& height,
                      uint16_t& bitCount);

std::string IntToText(int32_t value);
