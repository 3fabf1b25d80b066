#include "platform/Messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void (*messageBoxHook)(const char* text, const char* caption, uint32_t style) = nullptr;

void ShowMessageBox(const char* text, const char* caption, uint32_t style) {
  if (messageBoxHook) {
    messageBoxHook(text, caption, style);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
}

void FormatRuntimeError(int32_t code, uint32_t place, char out[32]) {
  std::strcpy(out, "Runtime error     at 00000000");
  // Code: right-aligned in the three places before " at " (index 14..16).
  char digits[16];
  std::snprintf(digits, sizeof digits, "%u", unsigned(code) % 1000u);
  size_t n = std::strlen(digits);
  std::memcpy(out + 17 - n, digits, n);
  // Place: hexadecimal over the eight zeros from the right (index 21..28).
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", unsigned(place));
  size_t h = std::strlen(hex);
  std::memcpy(out + 29 - h, hex, h);
}

void RuntimeError(int32_t code, uint32_t place) {
  char text[32];
  FormatRuntimeError(code, place, text);
  ShowMessageBox(text, "Error", MB_OK);
  std::fflush(stdout);
  std::exit(code);
}
