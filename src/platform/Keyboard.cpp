#include "platform/Keyboard.h"

#include "platform/VirtualKeys.h"

namespace {

// Virtual keys by place on a US keyboard, indexed by usage from Enter (0x28)
// to the Application key (0x65); 0 where the game has no number.
const uint8_t byPlace[0x66 - 0x28] = {
    VK_RETURN, VK_ESCAPE, VK_BACK, VK_TAB, VK_SPACE, VK_OEM_MINUS, VK_OEM_PLUS, VK_OEM_4,        // 0x28
    VK_OEM_6, VK_OEM_5, VK_OEM_5, VK_OEM_1, VK_OEM_7, VK_OEM_3, VK_OEM_COMMA, VK_OEM_PERIOD,      // 0x30
    VK_OEM_2, VK_CAPITAL, VK_F1, VK_F1 + 1, VK_F1 + 2, VK_F1 + 3, VK_F1 + 4, VK_F1 + 5,              // 0x38
    VK_F1 + 6, VK_F1 + 7, VK_F1 + 8, VK_F1 + 9, VK_F1 + 10, VK_F1 + 11, VK_SNAPSHOT, VK_SCROLL,    // 0x40
    VK_PAUSE, VK_INSERT, VK_HOME, VK_PRIOR, VK_DELETE, VK_END, VK_NEXT, VK_RIGHT,                // 0x48
    VK_LEFT, VK_DOWN, VK_UP, VK_NUMLOCK, VK_DIVIDE, VK_MULTIPLY, VK_SUBTRACT, VK_ADD,            // 0x50
    VK_RETURN, 0, 0, 0, 0, 0, 0, 0,                                                              // 0x58: keypad below
    0, 0, 0, 0, VK_OEM_102, VK_APPS,                                                             // 0x60
};

// Keypad1..Keypad9, Keypad0 without NumLock: End, Down, Next, Left, Clear,
// Right, Home, Up, Prior, Insert.
const uint8_t keypadNavigation[10] = {VK_END, VK_DOWN,  VK_NEXT, VK_LEFT,  VK_CLEAR,
                                      VK_RIGHT, VK_HOME, VK_UP,  VK_PRIOR, VK_INSERT};

// The modifiers, from Left Control (0xE0) to Right GUI (0xE7).
const uint8_t modifiers[8] = {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_CONTROL, VK_SHIFT, VK_MENU, VK_RWIN};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An ASCII letter (upper-cased) or digit, 0 for anything else.
uint32_t LetterOrDigit(char c) {
  if (c >= 'a' && c <= 'z') return uint32_t(c - 'a' + 'A');
  if ((c >= 'A' && c <= 'Z') || IsDigit(c)) return uint32_t(c);
  return 0;
}

}  // namespace

uint32_t VirtualKeyOf(uint16_t usage, char character) {
  if (usage == 0 || usage >= UsageCount) return 0;
  if (usage >= UsageKeypad1 && usage <= UsageKeypad0) {
    const int i = usage - UsageKeypad1;  // Keypad1 is 0, Keypad0 is 9
    return IsDigit(character) ? VK_NUMPAD0 + uint32_t((i + 1) % 10) : keypadNavigation[i];
  }
  if (usage == UsageKeypadPoint) return character == '.' || character == ',' ? VK_DECIMAL : VK_DELETE;
  if (uint32_t typed = LetterOrDigit(character)) return typed;
  if (usage >= UsageA && usage < UsageA + 26) return 'A' + uint32_t(usage - UsageA);
  if (usage >= 0x1E && usage <= 0x26) return '1' + uint32_t(usage - 0x1E);
  if (usage == 0x27) return '0';
  if (usage >= 0x28 && usage < 0x66) return byPlace[usage - 0x28];
  if (usage >= 0x68 && usage <= 0x73) return VK_F13 + uint32_t(usage - 0x68);  // F13..F24
  if (usage >= 0xE0 && usage <= 0xE7) return modifiers[usage - 0xE0];
  return 0;
}

intptr_t KeyLParam(bool down, bool repeat) {
  uint32_t lParam = 1u;
  if (repeat || !down) lParam |= 1u << 30;
  if (!down) lParam |= 1u << 31;
  return intptr_t(lParam);
}

bool IsSystemKey(uint32_t virtualKey, bool altHeld) {
  return altHeld || virtualKey == VK_MENU || virtualKey == VK_F10;
}
