#include "platform/web/KeyCodes.h"

#include <cstring>

#include "platform/Keyboard.h"
#include "platform/VirtualKeys.h"

namespace {

struct NamedUsage {
  const char* code;
  uint8_t usage;
};

// The codes that are not a letter, digit, function key or keypad digit.
const NamedUsage namedUsages[] = {
    {"Enter", 0x28},        {"Escape", 0x29},      {"Backspace", 0x2A},    {"Tab", 0x2B},
    {"Space", 0x2C},        {"Minus", 0x2D},       {"Equal", 0x2E},        {"BracketLeft", 0x2F},
    {"BracketRight", 0x30}, {"Backslash", 0x31},   {"Semicolon", 0x33},    {"Quote", 0x34},
    {"Backquote", 0x35},    {"Comma", 0x36},       {"Period", 0x37},       {"Slash", 0x38},
    {"CapsLock", 0x39},     {"PrintScreen", 0x46}, {"ScrollLock", 0x47},   {"Pause", 0x48},
    {"Insert", 0x49},       {"Home", 0x4A},        {"PageUp", 0x4B},       {"Delete", 0x4C},
    {"End", 0x4D},          {"PageDown", 0x4E},    {"ArrowRight", 0x4F},   {"ArrowLeft", 0x50},
    {"ArrowDown", 0x51},    {"ArrowUp", 0x52},     {"NumLock", 0x53},      {"NumpadDivide", 0x54},
    {"NumpadMultiply", 0x55}, {"NumpadSubtract", 0x56}, {"NumpadAdd", 0x57}, {"NumpadEnter", 0x58},
    {"NumpadDecimal", 0x63}, {"IntlBackslash", 0x64}, {"ContextMenu", 0x65}, {"ControlLeft", 0xE0},
    {"ShiftLeft", 0xE1},    {"AltLeft", 0xE2},     {"MetaLeft", 0xE3},     {"ControlRight", 0xE4},
    {"ShiftRight", 0xE5},   {"AltRight", 0xE6},    {"MetaRight", 0xE7},
};

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// The number after `prefix` in `code` ("F12" -> 12), -1 when there is none or
// anything follows it.
int NumberAfter(const char* code, const char* prefix) {
  if (!StartsWith(code, prefix)) return -1;
  const char* digits = code + std::strlen(prefix);
  if (digits[0] < '0' || digits[0] > '9') return -1;
  int n = 0;
  for (const char* d = digits; *d; ++d) {
    if (*d < '0' || *d > '9' || d - digits >= 2) return -1;
    n = n * 10 + (*d - '0');
  }
  return n;
}

}  // namespace

uint16_t UsageOfCode(const char* code) {
  if (!code) return 0;
  if (StartsWith(code, "Key") && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0')
    return uint16_t(UsageA + (code[3] - 'A'));
  const int digit = NumberAfter(code, "Digit");
  if (digit >= 1 && digit <= 9) return uint16_t(0x1E + digit - 1);
  if (digit == 0 && code[6] == '\0') return 0x27;
  const int keypad = NumberAfter(code, "Numpad");
  if (keypad >= 1 && keypad <= 9) return uint16_t(UsageKeypad1 + keypad - 1);
  if (keypad == 0 && code[7] == '\0') return UsageKeypad0;
  const int function = NumberAfter(code, "F");
  if (function >= 1 && function <= 12) return uint16_t(UsageF1 + function - 1);
  if (function >= 13 && function <= 24) return uint16_t(0x68 + function - 13);
  for (const NamedUsage& named : namedUsages)
    if (std::strcmp(code, named.code) == 0) return named.usage;
  return 0;
}

char CharacterOfKey(const char* key) {
  if (!key || key[0] == '\0' || key[1] != '\0') return 0;
  const char c = key[0];
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return letter || (c >= '0' && c <= '9') || c == '.' || c == ',' ? c : 0;
}

bool GameUsesKey(uint32_t virtualKey) {
  return virtualKey == VK_ESCAPE || (virtualKey >= VK_LEFT && virtualKey <= VK_DOWN) || virtualKey == VK_F1;
}
