#include "platform/web/KeyCodes.h"

#include <cstdio>
#include <cstring>

HeldKey heldKeys[HeldKeyCount] = {};

namespace {

struct Named {
  const char* code;
  uint8_t key;
};

// By position, as the Win32 virtual keys of a US keyboard.
const Named positions[] = {
    {"Backspace", 8},       {"Tab", 9},           {"Enter", 13},        {"NumpadEnter", 13},
    {"ShiftLeft", 16},      {"ShiftRight", 16},   {"ControlLeft", 17},  {"ControlRight", 17},
    {"AltLeft", 18},        {"AltRight", 18},     {"Pause", 19},        {"CapsLock", 20},
    {"Escape", 27},         {"Space", 32},        {"PageUp", 33},       {"PageDown", 34},
    {"End", 35},            {"Home", 36},         {"ArrowLeft", 37},    {"ArrowUp", 38},
    {"ArrowRight", 39},     {"ArrowDown", 40},    {"PrintScreen", 44},  {"Insert", 45},
    {"Delete", 46},         {"MetaLeft", 91},     {"MetaRight", 92},    {"ContextMenu", 93},
    {"NumpadMultiply", 106}, {"NumpadAdd", 107},  {"NumpadSubtract", 109}, {"NumpadDivide", 111},
    {"NumLock", 144},       {"ScrollLock", 145},  {"Semicolon", 186},   {"Equal", 187},
    {"Comma", 188},         {"Minus", 189},       {"Period", 190},      {"Slash", 191},
    {"Backquote", 192},     {"BracketLeft", 219}, {"Backslash", 220},   {"BracketRight", 221},
    {"Quote", 222},         {"IntlBackslash", 226},
};

// Numpad1..Numpad9, Numpad0: with NumLock off they are End, Down, Next, Left,
// Clear, Right, Home, Up, Prior and Insert.
const uint8_t keypadNumbers[10] = {97, 98, 99, 100, 101, 102, 103, 104, 105, 96};
const uint8_t keypadNavigation[10] = {35, 40, 34, 37, 12, 39, 36, 38, 33, 45};

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// A one-character .key that is a plain ASCII letter or digit, upper-cased.
uint32_t LayoutCharacter(const char* key) {
  if (!key || key[0] == '\0' || key[1] != '\0') return 0;
  char c = key[0];
  if (c >= 'a' && c <= 'z') return uint32_t(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return uint32_t(c);
  return 0;
}

}  // namespace

uint32_t VirtualKeyFromCode(const char* code, const char* key) {
  if (!code) return 0;
  // The keypad: a digit or point in .key means NumLock is on and Shift is not
  // swapping it.
  if (StartsWith(code, "Numpad") && code[6] >= '0' && code[6] <= '9' && code[7] == '\0') {
    const int digit = code[6] - '0';
    const int i = digit == 0 ? 9 : digit - 1;
    return LayoutCharacter(key) ? keypadNumbers[i] : keypadNavigation[i];
  }
  if (std::strcmp(code, "NumpadDecimal") == 0) {
    const bool number = key && (std::strcmp(key, ".") == 0 || std::strcmp(key, ",") == 0);
    return number ? 110 : 46;
  }
  // Letters and digits follow the layout, as Win32's do; a layout whose letter
  // keys give other characters falls back to the position.
  const bool letterOrDigit = (StartsWith(code, "Key") && code[3] >= 'A' && code[3] <= 'Z' && code[4] == '\0') ||
                             (StartsWith(code, "Digit") && code[5] >= '0' && code[5] <= '9' && code[6] == '\0');
  if (letterOrDigit) {
    if (uint32_t c = LayoutCharacter(key)) return c;
    return uint32_t(code[0] == 'K' ? code[3] : code[5]);
  }
  if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
    int n = code[1] - '0';
    if (code[2] >= '0' && code[2] <= '9' && code[3] == '\0') n = n * 10 + (code[2] - '0');
    else if (code[2] != '\0') return 0;
    if (n >= 1 && n <= 24) return uint32_t(111 + n);
    return 0;
  }
  for (const Named& named : positions)
    if (std::strcmp(code, named.code) == 0) return named.key;
  return 0;
}

bool GameUsesKey(uint32_t virtualKey) {
  return virtualKey == 27 || (virtualKey >= 37 && virtualKey <= 40) || virtualKey == 112;
}

uint32_t KeyEventVirtualKey(const char* code, const char* key, bool down) {
  const uint32_t virtualKey = VirtualKeyFromCode(code, key);
  if (virtualKey == 0) return 0;
  HeldKey* free = nullptr;
  for (HeldKey& held : heldKeys) {
    if (held.code[0] != '\0' && std::strcmp(held.code, code) == 0) {
      if (down) return held.virtualKey;  // auto-repeat: still the key it went down as
      held.code[0] = '\0';
      return held.virtualKey;
    }
    if (!free && held.code[0] == '\0') free = &held;
  }
  if (down && free) {
    std::snprintf(free->code, sizeof free->code, "%s", code);
    free->virtualKey = virtualKey;
  }
  return virtualKey;
}

int32_t TakeHeldKeys(uint32_t out[HeldKeyCount]) {
  int32_t count = 0;
  for (HeldKey& held : heldKeys) {
    if (held.code[0] == '\0') continue;
    out[count++] = held.virtualKey;
    held.code[0] = '\0';
  }
  return count;
}
