// Browser key events as the game's virtual keys.
#include <gtest/gtest.h>

#include "platform/web/KeyCodes.h"

TEST(WebKeyCodes, KeysAsWin32NumbersThem) {
  const struct {
    const char* code;
    const char* key;
    uint32_t virtualKey;
  } cases[] = {
      {"Escape", "Escape", 27},      {"ArrowLeft", "ArrowLeft", 37}, {"ArrowUp", "ArrowUp", 38},
      {"ArrowRight", "ArrowRight", 39}, {"ArrowDown", "ArrowDown", 40}, {"F1", "F1", 112},
      {"F10", "F10", 121},           {"F12", "F12", 123},            {"F24", "F24", 135},
      {"F25", "F25", 0},             {"Fn", "Fn", 0},                {"F1x", "F1", 0},
      // Letters and digits by layout, falling back to the position.
      {"KeyA", "a", 'A'},            {"KeyQ", "A", 'A'},             {"KeyZ", "\xce\xb6", 'Z'},
      {"Digit0", "0", '0'},          {"Digit1", "!", '1'},           {"Space", " ", 32},
      // The keypad: digits with NumLock, the keys under them without it (or with Shift).
      {"Numpad8", "8", 104},         {"Numpad8", "ArrowUp", 38},     {"Numpad0", "0", 96},
      {"Numpad0", "Insert", 45},     {"Numpad5", "Clear", 12},       {"Numpad5", "5", 101},
      {"Numpad3", "PageDown", 34},   {"NumpadDecimal", ".", 110},    {"NumpadDecimal", ",", 110},
      {"NumpadDecimal", "Delete", 46}, {"NumpadEnter", "Enter", 13}, {"NumpadAdd", "+", 107},
      {"Numpad10", "", 0},           {"", "", 0},                    {"Unidentified", "", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(VirtualKeyFromCode(c.code, c.key), c.virtualKey) << c.code << " / " << c.key;
  EXPECT_EQ(VirtualKeyFromCode(nullptr, nullptr), 0u);
  EXPECT_EQ(VirtualKeyFromCode("KeyB", nullptr), uint32_t('B'));
}
